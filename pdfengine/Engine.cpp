#include "pdfengine/Engine.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <span>
#include <vector>

#include "pdfengine/BlockFiller.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/FontRegistry.h"
#include "pdfengine/FormFields.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/Version.h"

namespace pdfengine {

namespace {

EngineError wrongScope(const char* api, Scope scope)
{
    return EngineError(err::WrongScope, std::string("Function '") + api + "' must not be called in '" +
                                            scopeName(scope) + "' scope");
}

std::string_view withoutBom(std::string_view text)
{
    if (startsWithUtf8Bom(text))
        text.remove_prefix(utf8Bom.size());
    return text;
}

std::string_view trimmed(std::string_view text)
{
    const char* blanks = " \t\r\n\f";
    size_t start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

// "{name}={file}" or "name=file".
std::string_view unbraced(std::string_view text)
{
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, text.size() - 2);
    return text;
}

// The font name and file of a FontOutline value "name=file".
std::pair<std::string_view, std::string_view> fontOutline(std::string_view value)
{
    value = withoutBom(value);
    size_t equals = value.find('=');
    std::string_view name =
        equals == std::string_view::npos ? std::string_view() : unbraced(value.substr(0, equals));
    std::string_view file =
        equals == std::string_view::npos ? std::string_view() : unbraced(value.substr(equals + 1));
    if (name.empty() || file.empty())
        throw EngineError(err::BadOptionValue,
                          "Option 'FontOutline' expects fontname=filename, not '" + std::string(value) + "'");
    return {name, file};
}

// Whether the list only registers font files exactly as they are registered
// already.
bool repeatsOutlines(const OptionList& list, const Settings& settings)
{
    const std::vector<std::string_view> outlines = list.getAll("FontOutline");
    if (outlines.empty() || outlines.size() != list.size())
        return false;
    for (std::string_view value : outlines) {
        auto [name, file] = fontOutline(value);
        auto known = settings.fontOutlines.find(name);
        if (known == settings.fontOutlines.end() || known->second != file)
            return false;
    }
    return true;
}

bool deterministicFromEnvironment()
{
    const char* value = std::getenv("QUILLON_PDF_DETERMINISTIC");
    return value && *value && std::strcmp(value, "0") != 0;
}

constexpr std::string_view reservedInfoKeys[] = {"Producer", "CreationDate", "ModDate"};

}  // namespace

const char* scopeName(Scope scope)
{
    switch (scope) {
        case ObjectScope:
            return "object";
        case DocumentScope:
            return "document";
        case PageScope:
            return "page";
        case PathScope:
            return "path";
        default:
            return "unknown";
    }
}

Engine::Engine() : fonts_(std::make_unique<FontRegistry>())
{
    settings_.deterministic = deterministicFromEnvironment();
}

Engine::~Engine() = default;

namespace {

std::atomic<bool> keepWrittenDocuments{false};

void keepUntilExit(std::unique_ptr<Document> document)
{
    document->stopWorker();
    static std::mutex mutex;
    // Reachable from here to the end, so that leak checkers count the documents
    // as memory in use.
    static auto* kept = new std::vector<std::unique_ptr<Document>>();
    std::lock_guard lock(mutex);
    kept->push_back(std::move(document));
}

}  // namespace

void Engine::keepWrittenDocumentsUntilExit() { keepWrittenDocuments = true; }

BlockFiller& Engine::blockFiller()
{
    if (!blockFiller_)
        blockFiller_ = std::make_unique<BlockFiller>(*this);
    return *blockFiller_;
}

FormFields& Engine::fields()
{
    if (!fields_) {
        // The hook holds the fields too: they are written after the handle
        // has left the document.
        fields_ = std::make_shared<FormFields>(document_->pdf());
        document_->addEndHook([fields = fields_](Document& document) { fields->finish(document); });
    }
    return *fields_;
}

Scope Engine::scope() const
{
    if (!document_)
        return ObjectScope;
    if (!document_->pageOpen())
        return DocumentScope;
    return document_->page().inPath() ? PathScope : PageScope;
}

void Engine::requireScope(const char* api, unsigned allowed) const
{
    const Scope current = scope();
    if (!(allowed & current))
        throw wrongScope(api, current);
}

void Engine::setOptions(std::string_view optlist)
{
    // Renderers register a font's file again before every text in it: the last
    // list found to do only that is not parsed again while the settings stay.
    if (!repeatedOutlines_.empty() && optlist == repeatedOutlines_)
        return;
    const OptionList list = OptionList::parse(optlist, options::global);
    if (repeatsOutlines(list, settings_)) {
        repeatedOutlines_.assign(optlist);
        return;
    }
    // Everything is worked out on a copy and committed at the end, so a call
    // that fails changes nothing.
    Settings next = settings_;
    if (list.has("hypertextencoding"))
        next.hypertextEncoding = static_cast<HypertextEncoding>(list.getKeyword("hypertextencoding", 0));
    for (std::string_view value : list.getAll("SearchPath")) {
        value = trimmed(withoutBom(value));
        // A value with braces is a list of folders; without, it is one folder
        // whose name may contain blanks.
        if (value.find('{') == std::string_view::npos) {
            if (!value.empty())
                next.searchPath.emplace_back(value);
        } else {
            for (std::string_view folder : OptionList::splitItems(value))
                if (!folder.empty())
                    next.searchPath.emplace_back(folder);
        }
    }
    for (std::string_view value : list.getAll("FontOutline")) {
        auto [name, file] = fontOutline(value);
        next.fontOutlines[std::string(name)] = std::string(file);
    }
    if (list.has("errorpolicy"))
        next.errorPolicyReturn = list.getKeyword("errorpolicy", 0) == 1;
    if (list.has("deterministic"))
        next.deterministic = list.getBool("deterministic", false);
    if (list.has("logging")) {
        const OptionList logging = list.getOptionList("logging");
        if (!logging.getBool("enable", true)) {
            trace_.close();
        } else {
            std::string filename(withoutBom(logging.getString("filename")));
            if (filename.empty())
                throw EngineError(err::OptionNeedsOption, "Option 'logging' needs option 'filename'");
            trace_.open(filename, logging.getBool("remove", false));
        }
    }
    settings_ = std::move(next);
    repeatedOutlines_.clear();
}

void Engine::setParameter(std::string_view key, std::string_view value)
{
    std::string optlist(key);
    optlist += "={";
    optlist += value;
    optlist += '}';
    setOptions(optlist);
}

const char* Engine::getString(int, std::string_view optlist)
{
    const OptionList list = OptionList::parse(optlist, options::getString);
    if (list.getBool("version", false))
        return PDFENGINE_VERSION;
    throw EngineError(err::BadOptionValue,
                      "PDF_get_string needs a key such as 'version', not '" + std::string(optlist) + "'");
}

void Engine::setInfo(std::string_view key, std::string_view value)
{
    auto keyText = hypertextToUtf8(key, settings_.hypertextEncoding);
    if (!keyText)
        throw EngineError(err::BadInfoKey, "Document information key is not valid UTF-8");
    if (keyText->empty())
        throw EngineError(err::BadInfoKey, "Document information key must not be empty");
    for (std::string_view reserved : reservedInfoKeys)
        if (*keyText == reserved)
            throw EngineError(err::BadInfoKey,
                              "Document information key '" + *keyText + "' is set by the engine");
    auto text = hypertextToUtf8(value, settings_.hypertextEncoding);
    if (!text)
        throw EngineError(err::BadText,
                          "Value of document information '" + *keyText + "' is not valid UTF-8");
    if (*keyText == "Trapped") {
        // The one standard entry that is a name, not a text.
        if (*text != "True" && *text != "False" && *text != "Unknown")
            throw EngineError(
                err::BadText,
                "Document information 'Trapped' must be True, False or Unknown, not '" + *text + "'");
        document_->setInfo(*keyText, QPDFObjectHandle::newName("/" + *text));
        return;
    }
    document_->setInfo(*keyText, QPDFObjectHandle::newUnicodeString(*text));
}

int Engine::beginDocument(std::string_view filename, std::string_view optlist)
{
    const OptionList list = OptionList::parse(optlist, options::beginDocument);
    const bool versionGiven = list.has("compatibility");
    PdfVersion version = 17;
    if (versionGiven) {
        const size_t index = list.getKeyword("compatibility", 0);
        version = index + 1 == std::size(options::compatibilities) ? 20 : 13 + static_cast<int>(index);
    }
    Encryption encryption(list, settings_.hypertextEncoding, version);
    if (filename.find('\0') != std::string_view::npos)
        throw EngineError(err::BadFileName, "File name contains a NUL byte");
    std::string name(filename);
    if (!name.empty()) {
        OutputFile::checkTarget(name);
        if (const ImportedDocument* input = imports_.replacedBy(name))
            throw EngineError(err::CannotCreateOutput,
                              "Couldn't open PDF file '" + name +
                                  "' for writing (it is the imported document '" + input->fileName() + "')",
                              true);
    }
    document_ =
        std::make_unique<Document>(version, versionGiven, std::move(encryption), settings_.deterministic);
    filename_ = std::move(name);
    fonts_->beginDocument();
    fields_.reset();
    buffer_.clear();
    haveBuffer_ = false;
    failed_ = false;
    return 1;
}

const std::string& Engine::outputFileName() const
{
    static const std::string none;
    return document_ ? filename_ : none;
}

void Engine::endDocument(std::string_view optlist)
{
    OptionList::parse(optlist, options::none);
    if (!document_) {
        if (failed_)
            return;
        throw wrongScope("PDF_end_document", scope());
    }
    if (document_->pageOpen()) {
        if (!failed_)
            throw wrongScope("PDF_end_document", scope());
        document_->discardPage();
    }
    // The handle is back in object scope whatever happens below.
    std::unique_ptr<Document> document = std::move(document_);
    if (failed_)
        return;  // a document that saw a fatal error writes no file
    // Readers reject a page tree without pages.
    if (document->pageCount() == 0)
        throw EngineError(err::NoPages, "The document has no pages; no file was written");
    writeDocument(*document);
    if (keepWrittenDocuments)
        keepUntilExit(std::move(document));
}

void Engine::writeDocument(Document& document)
{
    if (filename_.empty()) {
        std::string bytes;
        Pl_String sink("in-memory document", nullptr, bytes);
        document.write(sink);
        buffer_ = std::move(bytes);
        haveBuffer_ = true;
        return;
    }
    OutputFile file(filename_, outputFault_);
    document.write(file.pipeline());
    file.commit();
}

std::string_view Engine::buffer() const
{
    if (!haveBuffer_)
        throw EngineError(err::NoBuffer,
                          "PDF_get_buffer needs a finished document begun with an empty file name");
    return buffer_;
}

void Engine::beginPage(double width, double height, std::string_view optlist)
{
    OptionList::parse(optlist, options::none);
    Page::checkSize(width, height);
    document_->beginPage(width, height);
}

void Engine::endPage(std::string_view optlist)
{
    OptionList::parse(optlist, options::none);
    if (!document_ || !document_->pageOpen()) {
        if (failed_)
            return;
        throw wrongScope("PDF_end_page_ext", scope());
    }
    if (failed_) {
        document_->discardPage();
        return;
    }
    Page& page = document_->page();
    if (page.inPath())
        throw wrongScope("PDF_end_page_ext", PathScope);
    if (page.saveDepth() > 0)
        throw EngineError(err::UnmatchedSave,
                          "Function 'PDF_end_page_ext': " + std::to_string(page.saveDepth()) +
                              " PDF_save without matching PDF_restore on this page");
    document_->endPage();
}

void Engine::setGraphicsOptions(std::string_view optlist)
{
    const GraphicsOptions& options = graphicsOptions_.get(optlist);
    options.apply(page());
}

void Engine::setColor(std::string_view fstype, std::string_view colorspace, double c1, double c2, double c3,
                      double c4)
{
    static constexpr std::string_view fstypes[] = {"fill", "stroke", "fillstroke"};
    static constexpr std::string_view spaces[] = {"gray", "rgb", "cmyk"};
    // Callers write the keywords as listed nearly always: those are found
    // without comparing case.
    auto index = [](std::string_view given, std::span<const std::string_view> names) {
        for (size_t i = 0; i < names.size(); ++i) {
            if (given == names[i])
                return i;
        }
        size_t i = 0;
        while (i < names.size() && !equalsNoCase(given, names[i]))
            ++i;
        return i;
    };
    const size_t target = index(fstype, fstypes);
    if (target == std::size(fstypes))
        throw EngineError(err::UnknownArgumentKeyword, "Unknown fstype '" + std::string(fstype) +
                                                           "' (expected fill, stroke or fillstroke)");
    const size_t space = index(colorspace, spaces);
    if (space == std::size(spaces))
        throw EngineError(err::UnknownArgumentKeyword, "Unknown colour space '" + std::string(colorspace) +
                                                           "' (expected gray, rgb or cmyk)");
    Color color;
    color.space = static_cast<ColorSpace>(space);
    const double given[4] = {c1, c2, c3, c4};
    for (int i = 0; i < Color::componentCount(color.space); ++i)
        color.components[static_cast<size_t>(i)] = given[i];
    Page& page = this->page();
    if (target != 1)
        page.setFillColor(color);
    if (target != 0)
        page.setStrokeColor(color);
}

}  // namespace pdfengine
