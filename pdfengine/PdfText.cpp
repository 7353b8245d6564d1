#include "pdfengine/PdfText.h"

#include <limits>

#include "pdfengine/TextEncoding.h"
#include "platform/cp932.h"

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

std::optional<std::string> cp932ToUtf8(std::string_view bytes)
{
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;
    const int length = static_cast<int>(bytes.size());
    if (length == 0)
        return std::string();
    const int units =
        platform::cp932MultiByteToWideChar(platform::mbErrInvalidChars, bytes.data(), length, nullptr, 0);
    if (units <= 0)
        return std::nullopt;
    std::u16string wide(static_cast<size_t>(units), u'\0');
    platform::cp932MultiByteToWideChar(platform::mbErrInvalidChars, bytes.data(), length, wide.data(), units);
    std::string utf8;
    utf8.reserve(wide.size() * 3);
    // Code page 932 decodes to the Basic Multilingual Plane only: no surrogates.
    for (char16_t unit : wide)
        appendUtf8(utf8, unit);
    return utf8;
}

std::string nameToUtf8(std::string_view bytes, const NameDecoder& legacy)
{
    if (isValidUtf8(bytes))
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

}  // namespace pdfengine
