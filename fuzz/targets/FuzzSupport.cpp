#include "fuzz/targets/FuzzSupport.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "pdfengine/Qpdf.h"

#include <qpdf/Pl_Discard.hh>

namespace fuzztargets {

namespace {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillon-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed: " + std::string(std::strerror(errno)));
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

std::string scratchPath(std::string_view name)
{
    static ScratchFolder folder;
    return (folder.path() / name).string();
}

void writeBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

namespace {

void readOutput(const char* bytes, long length)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("output", bytes, static_cast<size_t>(length));
        Pl_Discard discard;
        // Streams qpdf cannot decode (images in DCT) are passed through as they are.
        for (QPDFObjectHandle object : pdf.getAllObjects())
            if (object.isStream())
                object.pipeStreamData(&discard, 0, qpdf_dl_generalized);
        expect(QPDFPageDocumentHelper(pdf).getAllPages().size() == 1, "the output lost its page");
        // Damage qpdf works around is damage all the same.
        const std::vector<QPDFExc> warnings = pdf.getWarnings();
        for (const QPDFExc& warning : warnings)
            std::fprintf(stderr, "%s\n", warning.what());
        expect(warnings.empty(), "the engine wrote a PDF that qpdf warns about");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        broken("the engine wrote a PDF that qpdf cannot read");
    }
}

}  // namespace

void finishAndReadBack(PDF* p)
{
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    long length = 0;
    const char* bytes = PDF_get_buffer(p, &length);
    if (bytes && length > 0)
        readOutput(bytes, length);
    PDF_delete(p);
}

void broken(const char* what)
{
    std::fprintf(stderr, "fuzz target: %s\n", what);
    std::abort();
}

uint8_t InputReader::byte()
{
    if (rest_.empty())
        return 0;
    uint8_t value = static_cast<uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return value;
}

uint16_t InputReader::u16()
{
    const uint16_t low = byte();
    return static_cast<uint16_t>(low | byte() << 8);
}

std::string_view InputReader::until(char separator)
{
    size_t end = rest_.find(separator);
    std::string_view part = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return part;
}

}  // namespace fuzztargets
