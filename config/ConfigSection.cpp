#include "config/ConfigSection.h"

uint32_t ConfigSection::hexadecimal(const char* key, const char* defaultValue, size_t size) const
{
    return parseUnsignedHex(text(key, defaultValue, size).c_str());
}

uint32_t parseUnsignedHex(const char* text)
{
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    auto digitOf = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    const char* p = text;
    while (isSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digitOf(p[2]) >= 0)
        p += 2;
    uint64_t value = 0;
    bool overflow = false;
    for (; digitOf(*p) >= 0; ++p) {
        value = value * 16 + static_cast<uint64_t>(digitOf(*p));
        if (value > UINT32_MAX) {
            overflow = true;
            value = UINT32_MAX;
        }
    }
    if (overflow)
        return UINT32_MAX;
    return negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(value)) : static_cast<uint32_t>(value);
}
