#include "pdfengine/PdfText.h"

#include <charconv>
#include <cmath>

namespace pdfengine {

std::string textStringToUtf8(QPDFObjectHandle string)
{
    // qpdf knows the byte-order marks and the PDFDocEncoding table.
    return string.getUTF8Value();
}

std::string nameBytes(QPDFObjectHandle name)
{
    std::string bytes = name.getName();
    if (!bytes.empty() && bytes.front() == '/')
        bytes.erase(0, 1);
    return bytes;
}

bool isUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        char32_t c;
        char32_t minimum;
        if ((b & 0xE0) == 0xC0) {
            length = 2, c = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3, c = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4, c = b & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            auto t = static_cast<unsigned char>(bytes[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string nameToUtf8(std::string_view bytes, const NameDecoder& legacy)
{
    if (isUtf8(bytes))
        return std::string(bytes);
    if (legacy) {
        if (auto decoded = legacy(bytes))
            return *decoded;
    }
    return QUtil::pdf_doc_to_utf8(std::string(bytes));
}

std::optional<std::string> nameOrTextToUtf8(QPDFObjectHandle object, const NameDecoder& legacy)
{
    if (object.isName())
        return nameToUtf8(nameBytes(object), legacy);
    if (object.isString())
        return textStringToUtf8(object);
    return std::nullopt;
}

std::string shortestNumberText(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == 0)
        value = 0;  // no "-0"
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

std::string fixedNumberText(double value, int decimals)
{
    if (!std::isfinite(value))
        return "0";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return "0";
    std::string text(buffer, end);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return text;
}

}  // namespace pdfengine
