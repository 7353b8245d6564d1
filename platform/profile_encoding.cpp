#include "platform/profile_encoding.h"

#include <algorithm>
#include <cstdint>

#include "platform/cp932.h"

namespace platform::profile_detail {

namespace {

constexpr char16_t replacement = 0xFFFD;

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

void appendCodePoint(std::u16string& out, uint32_t cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// UTF-8 to UTF-16; each byte that does not belong to a well-formed sequence becomes
// U+FFFD, as Windows decodes it.
std::u16string decodeUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        uint32_t cp = length == 4 ? b & 0x07 : length == 3 ? b & 0x0F : b & 0x1F;
        bool valid = length != 0 && i + length <= bytes.size();
        for (size_t k = 1; valid && k < length; ++k) {
            auto c = static_cast<unsigned char>(bytes[i + k]);
            valid = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not text.
        static constexpr uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (!valid) {
            out.push_back(replacement);
            ++i;
            continue;
        }
        appendCodePoint(out, cp);
        i += length;
    }
    return out;
}

std::u16string decodeUtf16le(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    // A last odd byte is half a code unit.
    if (bytes.size() % 2)
        out.push_back(replacement);
    return out;
}

}  // namespace

std::string utf16ToCp932(std::u16string_view units)
{
    // As Windows hands out the texts of a Unicode profile: no flags, so best-fit
    // substitutes where they exist and "?" otherwise.
    std::string out;
    constexpr size_t chunk = 1 << 20;
    while (!units.empty()) {
        size_t take = std::min(units.size(), chunk);
        // A surrogate pair stays in one piece.
        if (take < units.size() && isHighSurrogate(units[take - 1]))
            --take;
        size_t at = out.size();
        out.resize(at + take * 2);
        int written = cp932WideCharToMultiByte(0, units.data(), static_cast<int>(take), out.data() + at,
                                               static_cast<int>(take * 2), nullptr, nullptr);
        out.resize(at + static_cast<size_t>(written > 0 ? written : 0));
        units.remove_prefix(take);
    }
    return out;
}

bool convertMarkedText(std::string& bytes)
{
    std::string_view view(bytes);
    if (view.starts_with("\xEF\xBB\xBF")) {
        bytes = utf16ToCp932(decodeUtf8(view.substr(3)));
        return true;
    }
    if (view.starts_with("\xFF\xFE")) {
        bytes = utf16ToCp932(decodeUtf16le(view.substr(2)));
        return true;
    }
    return false;
}

}  // namespace platform::profile_detail
