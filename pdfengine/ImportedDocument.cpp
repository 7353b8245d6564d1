#include "pdfengine/ImportedDocument.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include <sys/stat.h>

#include "pdfengine/BlockReader.h"
#include "pdfengine/PdiError.h"

namespace pdfengine {

namespace {

std::string cannotOpen(const std::string& fileName, const std::string& reason)
{
    return "Couldn't open PDF file '" + fileName + "' for reading (" + reason + ")";
}

// Files up to this size are read into memory at once: qpdf reading a file
// itself seeks and reads a few bytes at a time, hundreds of system calls for a
// one-page form. Larger files are read by qpdf as their objects are used.
constexpr long long kReadWholeUpTo = 16LL << 20;

// Checks that the file can be read and starts like a PDF. qpdf accepts the
// header anywhere in the first kilobyte, and so do we; without one it would
// try to "repair" any file into a PDF. Returns the file's bytes when it is
// small enough to be read whole, else nothing.
std::optional<std::string> checkFile(const std::string& fileName)
{
    std::error_code ec;
    auto status = std::filesystem::status(fileName, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        throw PdiError(PdiErrorKind::FileNotFound, cannotOpen(fileName, "file not found"));
    if (status.type() == std::filesystem::file_type::directory)
        throw PdiError(PdiErrorKind::CannotRead, cannotOpen(fileName, "it is a folder"));
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        int error = errno;
        if (error == ENOENT)
            throw PdiError(PdiErrorKind::FileNotFound, cannotOpen(fileName, "file not found"));
        throw PdiError(PdiErrorKind::CannotRead,
                       cannotOpen(fileName, error == EACCES ? "permission denied" : std::strerror(error)));
    }
    struct stat info {};
    const bool whole =
        ::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kReadWholeUpTo;
    std::string bytes(whole ? static_cast<size_t>(info.st_size) : 1024, '\0');
    size_t length = std::fread(bytes.data(), 1, bytes.size(), file.get());
    bool readError = std::ferror(file.get()) != 0;
    // A file that grew since fstat is left to qpdf, which reads it as it is then.
    bool complete = whole && !readError && std::fgetc(file.get()) == EOF && !std::ferror(file.get());
    if (readError)
        throw PdiError(PdiErrorKind::CannotRead, cannotOpen(fileName, "read error"));
    bytes.resize(length);
    if (std::string_view(bytes).substr(0, 1024).find("%PDF-") == std::string_view::npos)
        throw PdiError(PdiErrorKind::NotPdf, "Couldn't open PDF file '" + fileName + "' (not a PDF file)");
    if (!complete)
        return std::nullopt;
    return bytes;
}

EncryptionInfo readEncryption(QPDF& pdf)
{
    EncryptionInfo info;
    int R = 0, P = 0, V = 0;
    QPDF::encryption_method_e streams{}, strings{}, files{};
    if (!pdf.isEncrypted(R, P, V, streams, strings, files)) {
        info.description = "No encryption";
        return info;
    }
    // Before crypt filters (V 4) everything is RC4 and qpdf reports no methods.
    if (V < 4)
        streams = QPDF::e_rc4;
    else if (streams == QPDF::e_none)
        streams = strings;
    switch (streams) {
        case QPDF::e_rc4: {
            info.algorithm = EncryptionInfo::Algorithm::Rc4;
            // V 2 and 3 give the key length in bits; V 1 is always 40 and crypt
            // filters use 128.
            QPDFObjectHandle length = pdf.getTrailer().getKey("/Encrypt").getKey("/Length");
            info.keyLength = V == 1 ? 40 : V >= 4 ? 128 : length.isInteger() ? length.getIntValueAsInt() : 40;
            info.description = "RC4 " + std::to_string(info.keyLength) + "-bit";
            break;
        }
        case QPDF::e_aes:
            info.algorithm = EncryptionInfo::Algorithm::Aes128;
            info.keyLength = 128;
            info.description = "AES 128-bit";
            break;
        case QPDF::e_aesv3:
            info.algorithm = EncryptionInfo::Algorithm::Aes256;
            info.keyLength = 256;
            info.description = "AES 256-bit";
            break;
        case QPDF::e_none:
            // Identity crypt filters: encrypted in name only.
            info.description = "No encryption (identity crypt filters)";
            break;
        default:
            info.algorithm = EncryptionInfo::Algorithm::Unknown;
            info.description = "Unknown encryption";
            break;
    }
    return info;
}

}  // namespace

std::pair<int, int> pdfVersionNumbers(const std::string& version)
{
    int major = 0, minor = 0;
    if (std::sscanf(version.c_str(), "%d.%d", &major, &minor) != 2 || major < 1 || major > 2 || minor < 0 ||
        minor > 9)
        return {0, 0};
    return {major, minor};
}

ImportedDocument::~ImportedDocument() = default;

std::shared_ptr<ImportedDocument> ImportedDocument::open(const std::string& fileName,
                                                         const ImportOptions& options)
{
    std::optional<std::string> bytes = checkFile(fileName);
    std::shared_ptr<ImportedDocument> doc(new ImportedDocument);
    doc->fileName_ = fileName;
    doc->options_ = options;
    doc->pdf_ = std::make_unique<QPDF>();
    QPDF& pdf = *doc->pdf_;
    bool never = options.repair == RepairMode::Never;
    try {
        pdf.setSuppressWarnings(true);
        pdf.setAttemptRecovery(!never);
        const char* password = options.password.empty() ? nullptr : options.password.c_str();
        if (bytes) {
            // qpdf reads the bytes in place; the document keeps them as long as it keeps qpdf.
            doc->bytes_ = std::move(*bytes);
            pdf.processMemoryFile(fileName.c_str(), doc->bytes_.data(), doc->bytes_.size(), password);
        } else {
            pdf.processFile(fileName.c_str(), password);
        }
        doc->pages_ = PageTree::walk(pdf, fileName);
        doc->encryption_ = readEncryption(pdf);
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password && options.password.empty())
            throw PdiError(PdiErrorKind::PasswordRequired, "PDF file '" + fileName + "' requires a password");
        rethrowAsPdiError(fileName);
    } catch (...) {
        rethrowAsPdiError(fileName);
    }
    doc->checkRepairs();
    return doc;
}

void ImportedDocument::checkRepairs() const
{
    if (!pdf_->anyWarnings())
        return;
    std::vector<QPDFExc> warnings = pdf_->getWarnings();
    if (options_.repair == RepairMode::Never)
        throw PdiError(PdiErrorKind::Damaged, "PDF file '" + fileName_ +
                                                  "' is damaged and repair=never forbids repairing it (" +
                                                  warnings.front().getMessageDetail() + ")");
    for (const QPDFExc& w : warnings)
        if (repairs_.size() < 100)
            repairs_.push_back(w.getMessageDetail());
}

std::string ImportedDocument::describePage(int number) const
{
    return "page " + std::to_string(number) + " of PDF file '" + fileName_ + "'";
}

void ImportedDocument::checkPageNumber(int number) const
{
    if (number < 1 || number > pageCount())
        throw PdiError(PdiErrorKind::PageOutOfRange, "Page " + std::to_string(number) + " of PDF file '" +
                                                         fileName_ + "' does not exist (the document has " +
                                                         std::to_string(pageCount()) +
                                                         (pageCount() == 1 ? " page)" : " pages)"));
}

const PageNode& ImportedDocument::page(int number) const
{
    checkPageNumber(number);
    return pages_[static_cast<size_t>(number - 1)];
}

const PageGeometry& ImportedDocument::geometry(int number) const
{
    checkPageNumber(number);
    auto it = geometries_.find(number);
    if (it != geometries_.end())
        return it->second;
    try {
        PageGeometry geometry = PageGeometry::of(page(number), describePage(number));
        checkRepairs();
        return geometries_.emplace(number, geometry).first->second;
    } catch (...) {
        rethrowAsPdiError(fileName_);
    }
}

const std::vector<BlockDefinition>& ImportedDocument::blocks(int number) const
{
    return pageBlocks(number).all();
}

const PageBlocks& ImportedDocument::pageBlocks(int number) const
{
    checkPageNumber(number);
    auto it = blocks_.find(number);
    if (it != blocks_.end())
        return it->second;
    try {
        BlockReader reader(options_.legacyNames);
        std::vector<BlockDefinition> blocks = reader.read(page(number).dict);
        checkRepairs();
        return blocks_.try_emplace(number, std::move(blocks)).first->second;
    } catch (...) {
        rethrowAsPdiError(fileName_);
    }
}

std::string ImportedDocument::pdfVersion() const
{
    std::string version = pdf_->getPDFVersion();
    try {
        QPDFObjectHandle catalogVersion = pdf_->getRoot().getKey("/Version");
        if (catalogVersion.isName()) {
            std::string v = nameBytes(catalogVersion);
            if (pdfVersionNumbers(v) > pdfVersionNumbers(version))
                version = v;
        }
    } catch (...) {
        rethrowAsPdiError(fileName_);
    }
    return version;
}

}  // namespace pdfengine
