#include "platform/cp932_width.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace platform {
namespace {

#include "platform/cp932_width_tables.inc"

constexpr unsigned char kFirstVoicedKana = 0xA6;
constexpr unsigned char kLastVoicedKana = 0xDD;

}  // namespace

unsigned cp932FullWidth(unsigned char byte)
{
    return kFullWidth[byte];
}

unsigned cp932FullWidthVoiced(unsigned char kana, unsigned char mark)
{
    if (kana < kFirstVoicedKana || kana > kLastVoicedKana || (mark != 0xDE && mark != 0xDF))
        return 0;
    return kVoicedFullWidth[kana - kFirstVoicedKana][mark == 0xDE ? 0 : 1];
}

Cp932HalfWidth cp932HalfWidth(unsigned code)
{
    const auto* end = std::end(kHalfWidth);
    const auto* found = std::lower_bound(std::begin(kHalfWidth), end, code,
                                         [](const auto& entry, unsigned c) { return entry.code < c; });
    if (found == end || found->code != code)
        return {0, 0};
    return {found->byte, found->mark};
}

}  // namespace platform
