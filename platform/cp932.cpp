#include "platform/cp932.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace platform {
namespace {

#include "platform/cp932_tables.inc"

constexpr unsigned kTrailsPerLead = 188;

// The unit of a lead/trail pair, 0 when the pair is no character.
char16_t pairUnit(unsigned char lead, unsigned char trail)
{
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
        return 0;
    const unsigned row = lead <= 0x9F ? lead - 0x81u : lead - 0xC1u;
    const unsigned column = trail - 0x40u - (trail > 0x7F ? 1u : 0u);
    static_assert(sizeof(kPairUnits[0]) / sizeof(kPairUnits[0][0]) == kTrailsPerLead);
    return kPairUnits[row][column];
}

bool singleValid(unsigned char byte)
{
    return (kSingleInvalid[byte >> 5] & (uint32_t{1} << (byte & 31))) == 0;
}

// Only these marks take part in compositions with a code (checked by the generator), so
// most text never reaches the table search.
bool mayCompose(char16_t mark)
{
    return static_cast<unsigned>(mark - 0x0300) < 0x70u || mark == 0x3099 || mark == 0x309A;
}

char16_t compose(char16_t base, char16_t mark)
{
    const auto* end = std::end(kCompositions);
    const auto* found =
        std::lower_bound(std::begin(kCompositions), end, base, [mark](const auto& entry, char16_t b) {
            return entry.base < b || (entry.base == b && entry.mark < mark);
        });
    return found != end && found->base == base && found->mark == mark ? found->composed : 0;
}

}  // namespace

Cp932Decoded cp932Decode(const char* text, size_t available)
{
    const auto first = static_cast<unsigned char>(text[0]);
    if (cp932IsLeadByte(first) && available > 1 && text[1] != '\0') {
        const char16_t unit = pairUnit(first, static_cast<unsigned char>(text[1]));
        if (unit == 0)
            return {cp932NoCharacter, 2, false};
        return {unit, 2, true};
    }
    return {kSingleUnits[first], 1, singleValid(first)};
}

int cp932DecodeCode(unsigned code)
{
    if (code <= 0xFF)
        return singleValid(static_cast<unsigned char>(code)) ? kSingleUnits[code] : -1;
    const unsigned lead = code >> 8;
    if (lead > 0xFF || !cp932IsLeadByte(static_cast<unsigned char>(lead)))
        return -1;
    const char16_t unit = pairUnit(static_cast<unsigned char>(lead), static_cast<unsigned char>(code & 0xFF));
    return unit ? unit : -1;
}

int cp932Encode(char32_t character, bool bestFit)
{
    if (character > 0xFFFF)
        return -1;
    if (character == 0)
        return 0;
    const uint16_t code = kEncodePages[kEncodePageOf[character >> 8]][character & 0xFF];
    if (code != 0)
        return code;
    if (!bestFit)
        return -1;
    const auto* end = std::end(kBestFit);
    const auto* found = std::lower_bound(std::begin(kBestFit), end, character,
                                         [](const auto& entry, char32_t c) { return entry.unit < c; });
    return found != end && found->unit == character ? found->code : -1;
}

Cp932Encoded cp932EncodeUnits(const char16_t* units, size_t available, unsigned flags)
{
    const bool bestFit = (flags & wcNoBestFitChars) == 0;
    if ((flags & wcCompositeCheck) && available > 1 && mayCompose(units[1])) {
        if (const char16_t composed = compose(units[0], units[1])) {
            const int code = cp932Encode(composed, bestFit);
            if (code >= 0)
                return {code, 2};
        }
    }
    return {cp932Encode(units[0], bestFit), 1};
}

int cp932MultiByteToWideChar(unsigned flags, const char* source, int sourceLength, char16_t* destination,
                             int destinationCount)
{
    if ((flags & ~(mbPrecomposed | mbErrInvalidChars)) != 0 || !source || sourceLength < -1 ||
        destinationCount < 0 || (destinationCount > 0 && !destination))
        return 0;
    const size_t length = sourceLength == -1 ? std::strlen(source) + 1 : static_cast<size_t>(sourceLength);
    int count = 0;
    for (size_t at = 0; at < length;) {
        const Cp932Decoded decoded = cp932Decode(source + at, length - at);
        if ((flags & mbErrInvalidChars) && !decoded.valid)
            return 0;
        if (destinationCount > 0) {
            if (count == destinationCount)
                return 0;
            destination[count] = decoded.unit;
        }
        ++count;
        at += decoded.length;
    }
    return count;
}

int cp932WideCharToMultiByte(unsigned flags, const char16_t* source, int sourceLength, char* destination,
                             int destinationSize, const char* defaultChar, bool* usedDefaultChar)
{
    if ((flags & ~(wcCompositeCheck | wcNoBestFitChars)) != 0 || !source || sourceLength < -1 ||
        destinationSize < 0 || (destinationSize > 0 && !destination))
        return 0;
    size_t length = static_cast<size_t>(sourceLength);
    if (sourceLength == -1) {
        length = 0;
        while (source[length] != 0)
            ++length;
        ++length;
    }
    unsigned fallback = static_cast<unsigned char>(cp932DefaultChar);
    if (defaultChar) {
        const auto lead = static_cast<unsigned char>(defaultChar[0]);
        fallback = cp932IsLeadByte(lead) && defaultChar[1] != '\0'
                       ? (lead << 8) | static_cast<unsigned char>(defaultChar[1])
                       : lead;
    }
    bool used = false;
    int written = 0;
    for (size_t at = 0; at < length;) {
        const Cp932Encoded encoded = cp932EncodeUnits(source + at, length - at, flags);
        at += encoded.consumed;
        unsigned code = static_cast<unsigned>(encoded.code);
        if (encoded.code < 0) {
            code = fallback;
            used = true;
        }
        const int size = code > 0xFF ? 2 : 1;
        if (destinationSize > 0) {
            if (destinationSize - written < size) {
                written = 0;
                break;
            }
            cp932PutCode(code, destination + written);
        }
        written += size;
    }
    if (usedDefaultChar)
        *usedDefaultChar = used;
    return written;
}

}  // namespace platform
