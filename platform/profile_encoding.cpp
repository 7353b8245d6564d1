#include "platform/profile_encoding.h"

#include <iconv.h>
#include <cerrno>
#include <cstdint>

namespace platform::profile_detail {

namespace {

constexpr char16_t replacement = 0xFFFD;

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
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

// The converter of the C library; closed on every path out.
class Iconv {
public:
    Iconv() : handle_(iconv_open("CP932", "UTF-16LE")) {}
    ~Iconv()
    {
        if (ok())
            iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

}  // namespace

std::string utf16ToCp932(std::u16string_view units)
{
    std::string out;
    Iconv converter;
    if (!converter.ok()) {
        // Without the converter only ASCII can be told apart.
        for (char16_t unit : units)
            out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
        return out;
    }
    // Little-endian bytes whatever the host, so the converter's input is well defined.
    std::string input;
    input.reserve(units.size() * 2);
    for (char16_t unit : units) {
        input.push_back(static_cast<char>(unit & 0xFF));
        input.push_back(static_cast<char>(unit >> 8));
    }
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // The converter stops at a character that 932 lacks, or at an unpaired
        // surrogate: write "?" for it and go on after it.
        out.push_back('?');
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        size_t unit = (input.size() - inLeft) / 2;
        bool pair =
            isHighSurrogate(units[unit]) && unit + 1 < units.size() && isLowSurrogate(units[unit + 1]);
        size_t skip = pair ? 4 : 2;
        in += skip;
        inLeft -= skip;
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
