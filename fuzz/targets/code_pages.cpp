// Code page 932 to and from UTF-16 as the platform converts it, and every conversion
// of TORConverter. Destinations are exactly as large as the result or the documented
// bound, so a write one byte too far is caught; conversions in place must give what
// the same conversion gives into another buffer.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "platform/cp932.h"
#include "text/TORConverter.h"

namespace fuzztargets {

namespace {

using platform::cp932MultiByteToWideChar;
using platform::cp932WideCharToMultiByte;

// Bytes to UTF-16 and back, through both buffer conversions, with every flag
// combination the input picks (unknown flags included).
void platformConversions(std::string_view bytes, unsigned decodeFlags, unsigned encodeFlags,
                         std::string_view defaultChar)
{
    const int length = static_cast<int>(bytes.size());
    const int needed = cp932MultiByteToWideChar(decodeFlags, bytes.data(), length, nullptr, 0);
    if (needed > 0) {
        expect(needed <= length, "more units than bytes");
        std::vector<char16_t> units(static_cast<size_t>(needed));
        expect(cp932MultiByteToWideChar(decodeFlags, bytes.data(), length, units.data(), needed) == needed,
               "a conversion that does not fit the size it asked for");
        // One unit short: nothing more than fits is written.
        std::vector<char16_t> shorter(static_cast<size_t>(needed - 1));
        if (needed > 1)
            expect(
                cp932MultiByteToWideChar(decodeFlags, bytes.data(), length, shorter.data(), needed - 1) == 0,
                "a conversion into too small a buffer succeeds");

        const std::string fallback(defaultChar);
        const char* defaultText = fallback.empty() ? nullptr : fallback.c_str();
        bool usedDefault = false;
        const int size = cp932WideCharToMultiByte(encodeFlags, units.data(), needed, nullptr, 0, defaultText,
                                                  &usedDefault);
        if (size > 0) {
            expect(size <= 2 * needed, "more than two bytes per unit");
            std::vector<char> encoded(static_cast<size_t>(size));
            expect(cp932WideCharToMultiByte(encodeFlags, units.data(), needed, encoded.data(), size,
                                            defaultText, nullptr) == size,
                   "an encoding that does not fit the size it asked for");
            std::vector<char> short1(static_cast<size_t>(size - 1));
            if (size > 1)
                (void)cp932WideCharToMultiByte(encodeFlags, units.data(), needed, short1.data(), size - 1,
                                               defaultText, nullptr);
            // Valid text comes back as the same characters when no default was used.
            if ((decodeFlags & platform::mbErrInvalidChars) && !usedDefault &&
                !(encodeFlags & platform::wcCompositeCheck)) {
                const int again = cp932MultiByteToWideChar(0, encoded.data(), size, nullptr, 0);
                std::vector<char16_t> back(static_cast<size_t>(again));
                if (again > 0)
                    cp932MultiByteToWideChar(0, encoded.data(), size, back.data(), again);
                expect(back == units, "a character that does not come back from its code");
            }
        }
    }
    // The terminated forms read up to and with the terminator.
    const std::string terminated(bytes.substr(0, bytes.find('\0')));
    const int withNul = cp932MultiByteToWideChar(decodeFlags, terminated.c_str(), -1, nullptr, 0);
    if (withNul > 0) {
        std::vector<char16_t> units(static_cast<size_t>(withNul));
        cp932MultiByteToWideChar(decodeFlags, terminated.c_str(), -1, units.data(), withNul);
        expect(units.back() == 0, "a terminated conversion without its terminator");
        const int size =
            cp932WideCharToMultiByte(encodeFlags, units.data(), -1, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            std::vector<char> encoded(static_cast<size_t>(size));
            cp932WideCharToMultiByte(encodeFlags, units.data(), -1, encoded.data(), size, nullptr, nullptr);
            expect(encoded.back() == '\0', "an encoding without its terminator");
        }
    }
    // The per-character primitives over every position.
    for (size_t at = 0; at < bytes.size(); ++at) {
        const platform::Cp932Decoded decoded = platform::cp932Decode(bytes.data() + at, bytes.size() - at);
        expect(decoded.length == 1 || decoded.length == 2, "a character of neither one nor two bytes");
        (void)platform::cp932Encode(decoded.unit, true);
        (void)platform::cp932DecodeCode(
            static_cast<unsigned char>(bytes[at]) << 8 |
            (at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0));
    }
}

// The result of a byte conversion, checked three ways: into a buffer of the
// documented bound, into one exactly as large as the result, and in place.
template <typename Convert>
void byteConversion(const std::string& source, size_t growth, size_t extra, Convert convert)
{
    const size_t bound = growth * source.size() + extra + 1;
    auto wide = std::make_unique<char[]>(bound);
    expect(convert(wide.get(), source.c_str()) == wide.get(),
           "a conversion that does not return its destination");
    const std::string result(wide.get());
    expect(result.size() < bound, "a result beyond the documented bound");

    auto exact = std::make_unique<char[]>(result.size() + 1);
    convert(exact.get(), source.c_str());
    expect(result == exact.get(), "a result that depends on the buffer");

    auto inPlace = std::make_unique<char[]>(bound);
    std::memcpy(inPlace.get(), source.c_str(), source.size() + 1);
    convert(inPlace.get(), inPlace.get());
    expect(result == inPlace.get(), "a conversion in place that differs");
}

void converterConversions(const std::string& text, unsigned low, unsigned high, size_t size)
{
    // UTF-8 from Shift-JIS: the allocating form, and a destination of a chosen size.
    std::unique_ptr<char[]> utf8(TORConverter::sjisToUtf8(nullptr, 0, text.c_str()));
    expect(utf8 != nullptr, "no UTF-8 for a text");
    auto sized = std::make_unique<char[]>(size + 1);
    if (TORConverter::sjisToUtf8(sized.get(), size + 1, text.c_str()))
        expect(std::strcmp(sized.get(), utf8.get()) == 0, "UTF-8 that depends on the buffer");

    // Shift-JIS from UTF-8 (the input read as UTF-8), with and without a default.
    for (const char* defaultChar : {static_cast<const char*>(nullptr), "?"}) {
        std::unique_ptr<char[]> sjis(TORConverter::utf8ToSjis(nullptr, 0, text.c_str(), defaultChar));
        expect(sjis != nullptr, "no Shift-JIS for a text");
        auto cut = std::make_unique<char[]>(size + 1);
        TORConverter::utf8ToSjis(cut.get(), size + 1, text.c_str(), defaultChar);
        expect(std::strncmp(cut.get(), sjis.get(), std::strlen(cut.get())) == 0,
               "a cut text that is no prefix");
    }

    // UTF-16 from UTF-8 and back; at most one unit per byte.
    std::vector<char16_t> units(text.size() + 1);
    TORConverter::utf8ToUcs2(units.data(), text.c_str());
    const size_t unitCount = TORConverter::ucs2Length(units.data()) / 2;
    expect(unitCount <= text.size(), "more units than bytes");
    auto back = std::make_unique<char[]>(3 * unitCount + 1);
    TORConverter::ucs2ToUtf8(back.get(), units.data());

    byteConversion(text, 2, 0, [](char* d, const char* s) { return TORConverter::toFullKatakana(d, s); });
    byteConversion(text, 2, 0, [low, high](char* d, const char* s) {
        return TORConverter::toDoubleByte(d, s, low, high);
    });
    byteConversion(text, 1, 0, [low, high](char* d, const char* s) {
        return TORConverter::toSingleByte(d, s, low, high);
    });
    byteConversion(text, 1, 0, [](char* d, const char* s) { return TORConverter::toUpper(d, s); });
    byteConversion(text, 1, 0, [](char* d, const char* s) { return TORConverter::sjisToJis(d, s); });
    byteConversion(text, 1, 0, [](char* d, const char* s) { return TORConverter::sjisToEuc(d, s); });
    byteConversion(text, 1, 0, [](char* d, const char* s) { return TORConverter::jisToSjis(d, s); });
    byteConversion(text, 1, 0, [](char* d, const char* s) { return TORConverter::eucToSjis(d, s); });
    // Each two-byte character may need a switch into and out of JIS and back.
    byteConversion(text, 6, 3, [](char* d, const char* s) { return TORConverter::sjisToIso2022(d, s); });
    byteConversion(text, 1, 0, [](char* d, const char* s) { return TORConverter::iso2022ToSjis(d, s); });
}

}  // namespace

int codePages(const uint8_t* data, size_t size)
{
    InputReader input(data, size);
    const uint8_t flags = input.byte();
    // Mostly the flags that exist; now and then unknown ones.
    const unsigned decodeFlags = (flags & 0x80) ? flags : (flags & 0x09);
    const unsigned encodeFlags = (flags & 0x80) ? unsigned{flags} << 4 : (unsigned{flags} << 5 & 0x600);
    // Character ranges: bytes for toDoubleByte, two-byte codes for toSingleByte.
    const unsigned low = input.u16(), high = input.u16();
    const size_t bufferSize = input.byte();
    const std::string_view defaultChar = input.until('\n').substr(0, 2);
    const std::string_view bytes = input.rest();
    platformConversions(bytes, decodeFlags, encodeFlags, defaultChar);
    converterConversions(std::string(bytes.substr(0, bytes.find('\0'))), low, high, bufferSize);
    return 0;
}

}  // namespace fuzztargets
