#include "pdfengine/TextDecoder.h"

#include "pdfengine/FontEncoding.h"
#include "pdfengine/PdfText.h"
#include "pdfengine/TextEncoding.h"
#include "platform/cp932.h"

namespace pdfengine {

std::optional<ByteOrderMark> byteOrderMark(std::string_view text)
{
    if (text.size() >= 2 && text[0] == '\xFE' && text[1] == '\xFF')
        return ByteOrderMark::Utf16BigEndian;
    if (text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE')
        return ByteOrderMark::Utf16LittleEndian;
    if (startsWithUtf8Bom(text))
        return ByteOrderMark::Utf8;
    return std::nullopt;
}

size_t byteOrderMarkLength(ByteOrderMark mark)
{
    return mark == ByteOrderMark::Utf8 ? 3 : 2;
}

void decodeUtf16(std::string_view bytes, bool bigEndian, std::u32string& out)
{
    out.clear();
    auto unit = [&](size_t at) -> char32_t {
        auto hi = static_cast<uint8_t>(bytes[at + (bigEndian ? 0 : 1)]);
        auto lo = static_cast<uint8_t>(bytes[at + (bigEndian ? 1 : 0)]);
        return static_cast<char32_t>((hi << 8) | lo);
    };
    size_t pos = 0;
    for (; pos + 1 < bytes.size(); pos += 2) {
        char32_t c = unit(pos);
        if (c >= 0xD800 && c <= 0xDBFF && pos + 3 < bytes.size()) {
            char32_t low = unit(pos + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                pos += 2;
                continue;
            }
        }
        out.push_back(c >= 0xD800 && c <= 0xDFFF ? kReplacementCharacter : c);
    }
    if (pos < bytes.size())
        out.push_back(kReplacementCharacter);
}

void decodeUtf8(std::string_view bytes, std::u32string& out)
{
    out.clear();
    size_t pos = 0;
    while (pos < bytes.size()) {
        auto b = static_cast<uint8_t>(bytes[pos]);
        int length = b < 0x80             ? 1
                     : (b & 0xE0) == 0xC0 ? 2
                     : (b & 0xF0) == 0xE0 ? 3
                     : (b & 0xF8) == 0xF0 ? 4
                                          : 0;
        char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        bool valid = length > 0 && pos + length <= bytes.size();
        for (int i = 1; valid && i < length; ++i) {
            auto next = static_cast<uint8_t>(bytes[pos + i]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are not characters.
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))
            valid = false;
        if (!valid) {
            out.push_back(kReplacementCharacter);
            ++pos;
            // Skip the continuation bytes of the broken sequence.
            while (pos < bytes.size() && (static_cast<uint8_t>(bytes[pos]) & 0xC0) == 0x80)
                ++pos;
            continue;
        }
        out.push_back(c);
        pos += static_cast<size_t>(length);
    }
}

void decodeShiftJis(std::string_view bytes, std::u32string& out)
{
    out.clear();
    size_t pos = 0;
    while (pos < bytes.size()) {
        platform::Cp932Decoded d = platform::cp932Decode(bytes.data() + pos, bytes.size() - pos);
        out.push_back(d.valid ? d.unit : kReplacementCharacter);
        pos += d.length;
    }
}

void decodeEightBit(std::string_view bytes, const FontEncoding& encoding, std::u32string& out)
{
    out.clear();
    for (char b : bytes) {
        char32_t c = encoding.unicode(static_cast<uint8_t>(b));
        out.push_back(c != 0 || b == 0 ? c : kReplacementCharacter);
    }
}

void decodeMarked(std::string_view text, ByteOrderMark mark, std::u32string& out)
{
    text.remove_prefix(byteOrderMarkLength(mark));
    if (mark == ByteOrderMark::Utf8)
        decodeUtf8(text, out);
    else
        decodeUtf16(text, mark == ByteOrderMark::Utf16BigEndian, out);
}

void appendUtf16BE(std::string& out, char32_t c)
{
    auto unit = [&out](uint32_t u) {
        out.push_back(static_cast<char>(u >> 8));
        out.push_back(static_cast<char>(u & 0xFF));
    };
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = kReplacementCharacter;
    if (c > 0xFFFF) {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        unit(c);
    }
}

std::string fontNameToUtf8(std::string_view name)
{
    if (startsWithUtf8Bom(name))
        name.remove_prefix(utf8Bom.size());
    if (isValidUtf8(name))
        return std::string(name);
    if (std::optional<std::string> converted = cp932ToUtf8(name))
        return *converted;
    // Neither: what can be read, the rest replaced.
    std::u32string characters;
    decodeShiftJis(name, characters);
    std::string out;
    for (char32_t c : characters)
        appendUtf8(out, c);
    return out;
}

}  // namespace pdfengine
