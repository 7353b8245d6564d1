#include "pdfengine/ApiTrace.h"

#include <cerrno>
#include <cstring>

#include "pdfengine/EngineError.h"
#include "pdfengine/NumberFormat.h"

namespace pdfengine {

void ApiTrace::open(const std::string& filename, bool truncate)
{
    std::FILE* file = std::fopen(filename.c_str(), truncate ? "wb" : "ab");
    if (!file)
        throw EngineError(err::CannotOpenTrace,
                          "Couldn't open trace file '" + filename + "' (" + systemMessage(errno) + ")");
    file_.reset(file);
}

void ApiTrace::writeLine(std::string_view line)
{
    if (!file_)
        return;
    std::fwrite(line.data(), 1, line.size(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

void ApiTrace::appendText(std::string& out, const char* text, size_t length)
{
    if (!text) {
        out += "NULL";
        return;
    }
    static const char hex[] = "0123456789ABCDEF";
    out += '"';
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void ApiTrace::appendText(std::string& out, const char* text)
{
    appendText(out, text, text ? std::strlen(text) : 0);
}

void ApiTrace::appendNumber(std::string& out, double value)
{
    out += formatG(value);
}

}  // namespace pdfengine
