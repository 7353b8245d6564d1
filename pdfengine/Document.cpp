#include "pdfengine/Document.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

#include "pdfengine/CompactWriter.h"
#include "pdfengine/Deflater.h"
#include "pdfengine/ImportRegistry.h"
#include "pdfengine/Version.h"

namespace pdfengine {

namespace {

// Content streams of paths and text shrink to under a third at the fastest
// level already; higher levels cost twice the time for two or three per cent.
constexpr int contentCompressionLevel = 1;

constexpr const char* producer = "Quillon PDF engine " PDFENGINE_VERSION;

// The deterministic mode's stand-in for qpdf's random source: AES-256 draws
// its file key and salts from it. A fixed sequence, for tests only.
class FixedRandomData : public RandomDataProvider {
public:
    void provideRandomData(unsigned char* data, size_t length) override
    {
        for (size_t i = 0; i < length; ++i) {
            state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
            data[i] = static_cast<unsigned char>(state_ >> 56);
        }
    }

private:
    unsigned long long state_ = 0x5155494C4C4F4EULL;
};

// qpdf's random source is process-wide: it is replaced only while one
// deterministic document is written, and the default is restored after.
class RandomDataOverride {
public:
    explicit RandomDataOverride(bool active) : active_(active)
    {
        if (active_)
            QUtil::setRandomDataProvider(&provider_);
    }
    ~RandomDataOverride()
    {
        if (active_)
            QUtil::setRandomDataProvider(nullptr);
    }
    RandomDataOverride(const RandomDataOverride&) = delete;
    RandomDataOverride& operator=(const RandomDataOverride&) = delete;

private:
    bool active_;
    FixedRandomData provider_;
};

}  // namespace

std::string pdfDate(bool deterministic)
{
    if (deterministic)
        return "D:20000101000000Z";
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[80];
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0)
        offset = -offset;
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%c%02ld'%02ld'", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, sign,
                  offset / 60, offset % 60);
    return text;
}

Document::Document(PdfVersion version, bool versionGiven, Encryption encryption, bool deterministic)
    : pdf_(std::make_unique<QPDF>()),
      version_(version),
      versionGiven_(versionGiven),
      encryption_(std::move(encryption)),
      deterministic_(deterministic),
      deflater_(contentCompressionLevel),
      // A compressor serves one thread at a time. The worker that compresses the
      // pages' content makes its own; on the document's thread (a one-page
      // document is compressed when it is written) the document's serves.
      compressor_([this, owner = std::this_thread::get_id(),
                   worker = std::shared_ptr<Deflater>()](std::string_view data) mutable {
          if (std::this_thread::get_id() == owner)
              return deflater_.compress(data);
          if (!worker)
              worker = std::make_shared<Deflater>(contentCompressionLevel);
          return worker->compress(data);
      })
{
    pdf_->setSuppressWarnings(true);
    pdf_->emptyPDF();
    pagesRoot_ = pdf_->getRoot().getKey("/Pages");
    info_ = QPDFObjectHandle::newDictionary();
}

Document::~Document() = default;

ImportRegistry& Document::importRegistry()
{
    if (!imports_)
        imports_ = std::make_unique<ImportRegistry>(*pdf_, deflater_);
    return *imports_;
}

void Document::raiseVersion(PdfVersion version)
{
    if (!versionGiven_ && version > version_)
        version_ = version;
}

void Document::setInfo(const std::string& key, QPDFObjectHandle value)
{
    info_.replaceKey("/" + key, value);
}

void Document::beginPage(double width, double height)
{
    auto page = std::make_unique<Page>(width, height, resources_);
    auto dictionary = QPDFObjectHandle::newDictionary();
    dictionary.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    dictionary.replaceKey("/Parent", pagesRoot_);
    pageDictionary_ = pdf_->makeIndirectObject(dictionary);
    page_ = std::move(page);
}

void Document::endPage()
{
    Page& page = *page_;
    QPDFObjectHandle contents;
    if (!page.content().empty()) {
        contents = pdf_->newStream();
        pendingContents_.emplace_back(contents, compressor_.submit(page.content().take()));
        // Compressed contents are moved into their streams as they come, so
        // that the compressor holds a few pages only.
        installContents(false);
    }
    QPDFObjectHandle resources = resources_.dictionaryFor(page.resources(), *pdf_);
    // Pages mostly share their size: the box is made once per size, and each
    // page gets a copy (a direct object belongs to one place).
    if (!mediaBox_.isInitialized() || page.width() != mediaBoxWidth_ || page.height() != mediaBoxHeight_) {
        mediaBox_ =
            QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, page.width(), page.height()));
        mediaBoxWidth_ = page.width();
        mediaBoxHeight_ = page.height();
    }
    pageDictionary_.replaceKey("/MediaBox", mediaBox_.shallowCopy());
    pageDictionary_.replaceKey("/Resources", resources);
    if (contents.isInitialized())
        pageDictionary_.replaceKey("/Contents", contents);
    kids_.push_back(pageDictionary_);
    discardPage();
}

void Document::installContents(bool wait)
{
    while (!pendingContents_.empty()) {
        auto& [stream, ticket] = pendingContents_.front();
        std::optional<std::string> data =
            wait ? std::optional<std::string>(compressor_.take(ticket)) : compressor_.tryTake(ticket);
        if (!data)
            return;
        stream.replaceStreamData(*data, QPDFObjectHandle::newName("/FlateDecode"),
                                 QPDFObjectHandle::newNull());
        pendingContents_.pop_front();
    }
}

void Document::discardPage()
{
    page_.reset();
    pageDictionary_ = QPDFObjectHandle();
}

void Document::write(Pipeline& out)
{
    for (auto& hook : endHooks_)
        hook(*this);
    // After the hooks, which gave the compressor time to finish.
    installContents(true);
    pagesRoot_.replaceKey("/Kids", QPDFObjectHandle::newArray(kids_));
    pagesRoot_.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(kids_.size())));

    const std::string date = pdfDate(deterministic_);
    info_.replaceKey("/Producer", QPDFObjectHandle::newString(producer));
    info_.replaceKey("/CreationDate", QPDFObjectHandle::newString(date));
    info_.replaceKey("/ModDate", QPDFObjectHandle::newString(date));
    pdf_->getTrailer().replaceKey("/Info", pdf_->makeIndirectObject(info_));

    RandomDataOverride fixedRandom(deterministic_);
    const std::string version = std::to_string(version_ / 10) + "." + std::to_string(version_ % 10);
    if (version_ >= 15 && !encryption_.enabled()) {
        // Random bytes as the identifier, fixed ones in the deterministic mode.
        unsigned char id[16];
        QUtil::initializeWithRandomBytes(id, sizeof id);
        writeCompact(*pdf_, out, version, std::string(reinterpret_cast<char*>(id), sizeof id), deflater_);
        return;
    }
    QPDFWriter writer(*pdf_);
    writer.setOutputPipeline(&out);
    // Object streams hold the small objects (page dictionaries, fonts' dictionaries)
    // compressed; readers of PDF 1.4 and older do not know them.
    writer.setObjectStreamMode(version_ >= 15 ? qpdf_o_generate : qpdf_o_disable);
    writer.forcePDFVersion(version);
    if (deterministic_) {
        writer.setStaticID(true);
        if (encryption_.usesAes())
            writer.setStaticAesIV(true);
    }
    encryption_.apply(writer);
    writer.write();
}

}  // namespace pdfengine
