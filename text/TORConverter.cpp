#include "text/TORConverter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/cp932_width.h"

namespace {

using Bytes = const unsigned char*;

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned kIdeographicSpace = 0x8140;
constexpr unsigned kProlongedSoundMark = 0x815B;

Bytes bytesOf(const char* text)
{
    return reinterpret_cast<Bytes>(text);
}

// Whether the Shift-JIS text at p starts with a two-byte character; a lead byte before
// the terminator stands alone.
bool isDoubleByte(Bytes p)
{
    return platform::cp932IsLeadByte(p[0]) && p[1] != 0;
}

unsigned codeAt(Bytes p)
{
    return static_cast<unsigned>(p[0]) << 8 | p[1];
}

// Appends bytes to a destination the caller sized.
class Writer {
public:
    explicit Writer(char* destination) : out_(destination) {}

    void byte(unsigned value) { *out_++ = static_cast<char>(value); }
    void code(unsigned value) { out_ += platform::cp932PutCode(value, out_); }
    void escape(char a, char b)
    {
        byte(kEsc);
        byte(static_cast<unsigned char>(a));
        byte(static_cast<unsigned char>(b));
    }
    void finish() { *out_ = '\0'; }
    char* at() const { return out_; }

private:
    char* out_;
};

// Whether a conversion may write more than it has read, and so needs a copy of its
// source to convert in place.
enum class Growth { never, possible };

// The walk every byte conversion shares: step(p, out) is called until the terminator,
// consuming at least one byte each time; then close(out) and the terminator.
template <typename Step, typename Close>
char* convertText(char* destination, const char* source, Growth growth, Step step, Close close)
{
    if (!destination || !source)
        return nullptr;
    std::string copy;
    if (growth == Growth::possible && destination == source) {
        copy = source;
        source = copy.c_str();
    }
    Bytes p = bytesOf(source);
    Writer out(destination);
    while (*p)
        step(p, out);
    close(out);
    out.finish();
    return destination;
}

template <typename Step>
char* convertText(char* destination, const char* source, Growth growth, Step step)
{
    return convertText(destination, source, growth, step, [](Writer&) {});
}

size_t utf8Length(char16_t unit)
{
    return unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
}

size_t putUtf8(char16_t unit, char* out)
{
    if (unit < 0x80) {
        out[0] = static_cast<char>(unit);
        return 1;
    }
    if (unit < 0x800) {
        out[0] = static_cast<char>(0xC0 + (unit >> 6));
        out[1] = static_cast<char>(0x80 | (unit & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (unit >> 12));
    out[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (unit & 0x3F));
    return 3;
}

// The JIS X 0208 code (row + 0x20, cell + 0x20) of a Shift-JIS code, 0 when it has none:
// the arithmetic mapping, which reaches rows 1 to 94 (leads 81-9F and E0-EF).
unsigned jisOf(unsigned sjis)
{
    const unsigned lead = sjis >> 8, trail = sjis & 0xFF;
    if (lead < 0x81 || (lead > 0x9F && lead < 0xE0) || lead > 0xEF)
        return 0;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
        return 0;
    unsigned row = (lead - (lead <= 0x9F ? 0x81 : 0xC1)) * 2 + 1;
    unsigned cell;
    if (trail >= 0x9F) {
        ++row;
        cell = trail - 0x9E;
    } else {
        cell = trail - 0x3F - (trail > 0x7F ? 1 : 0);
    }
    return (row + 0x20) << 8 | (cell + 0x20);
}

// The Shift-JIS code of a JIS code given as its two bytes 21-7E.
unsigned sjisOf(unsigned first, unsigned second)
{
    const unsigned row = first - 0x20, cell = second - 0x20;
    unsigned lead = (row + 1) / 2 + 0x80;
    if (lead > 0x9F)
        lead += 0x40;
    unsigned trail;
    if (row % 2 == 1) {
        trail = cell + 0x3F;
        if (trail >= 0x7F)
            ++trail;
    } else {
        trail = cell + 0x9E;
    }
    return lead << 8 | trail;
}

// The NEC-selected (or NEC special) code of an IBM extension character FA40-FC4B, which
// has a JIS code where the IBM one has none; 0 outside that area. Each run below follows
// the trail bytes 40-7E, 80-FC of both areas, hence the different offsets.
unsigned necEquivalent(unsigned code)
{
    const unsigned trail = code & 0xFF;
    if (code < 0xFA40 || code > 0xFC4B || trail < 0x40 || trail == 0x7F || trail > 0xFC)
        return 0;
    if (code <= 0xFA49)
        return code - 0x0B51;  // small Roman numerals
    if (code <= 0xFA53)
        return code - 0x72F6;  // Roman numerals of the NEC special row
    if (code <= 0xFA57)
        return code - 0x0B5B;
    switch (code) {
        case 0xFA58:
            return 0x878A;
        case 0xFA59:
            return 0x8782;
        case 0xFA5A:
            return 0x8784;
        case 0xFA5B:
            return 0x879A;
        default:
            break;
    }
    if (code <= 0xFBFC) {
        if (code >= 0xFB40 && trail < 0x5C)
            return code - 0x0D5F;  // FB40-FB5B continue the run after FAFC
        if (trail >= 0x7F && trail <= 0x9B)
            return code - 0x0D1D;
        return code - 0x0D1C;
    }
    return code - 0x0D5F;  // FC40-FC4B
}

// The JIS code of a Shift-JIS code, through its NEC equivalent when it has none itself.
// inTable tells whether the code was one of the IBM extensions.
unsigned jisWithEquivalent(unsigned sjis, bool& inTable)
{
    inTable = false;
    if (const unsigned jis = jisOf(sjis))
        return jis;
    const unsigned nec = necEquivalent(sjis);
    inTable = nec != 0;
    return nec ? jisOf(nec) : 0;
}

char* sjisToJisCodes(char* destination, const char* source, unsigned highBit)
{
    return convertText(destination, source, Growth::never, [highBit](Bytes& p, Writer& out) {
        if (!isDoubleByte(p)) {
            out.byte(*p++);
            return;
        }
        bool inTable;
        const unsigned jis = jisWithEquivalent(codeAt(p), inTable);
        p += 2;
        if (jis) {
            out.byte((jis >> 8) | highBit);
            out.byte((jis & 0xFF) | highBit);
        }
    });
}

bool inRange(unsigned value, unsigned low, unsigned high)
{
    return value >= low && value <= high;
}

bool isJisByte(unsigned char byte)
{
    return inRange(byte, 0x21, 0x7E);
}

// Pairs of bytes in [low, high] become the Shift-JIS form of the JIS code of their low
// seven bits; anything else is copied.
char* jisPairsToSjis(char* destination, const char* source, unsigned low, unsigned high)
{
    return convertText(destination, source, Growth::never, [low, high](Bytes& p, Writer& out) {
        const unsigned char first = p[0], second = p[1];
        if (inRange(first, low, high) && inRange(second, low, high)) {
            p += 2;
            out.code(sjisOf(first & 0x7F, second & 0x7F));
        } else {
            out.byte(*p++);
        }
    });
}

bool isHiragana(unsigned code)
{
    return inRange(code, 0x829F, 0x82F1);
}

}  // namespace

char* TORConverter::sjisToUtf8(char* destination, size_t size, const char* source)
{
    if (!source)
        return nullptr;
    // The text is walked twice: to count, then to convert, with no buffer between.
    size_t units = 1, bytes = 0;
    for (const char* p = source; *p;) {
        // cp932Decode stops at the terminator, so two bytes are always safe to offer.
        const platform::Cp932Decoded decoded = platform::cp932Decode(p, 2);
        ++units;
        bytes += utf8Length(decoded.unit);
        p += decoded.length;
    }
    std::unique_ptr<char[]> owned;
    if (!destination) {
        size = std::max(units, bytes) + 1;
        owned = std::make_unique<char[]>(size);
        destination = owned.get();
    }
    if (units >= size || bytes + 1 > size)
        return nullptr;
    std::memset(destination, 0, size);
    char* out = destination;
    for (const char* p = source; *p;) {
        const platform::Cp932Decoded decoded = platform::cp932Decode(p, 2);
        out += putUtf8(decoded.unit, out);
        p += decoded.length;
    }
    owned.release();
    return destination;
}

char* TORConverter::utf8ToSjis(char* destination, size_t size, const char* source, const char* defaultChar)
{
    if (!source)
        return nullptr;
    const size_t length = std::strlen(source);
    std::unique_ptr<char[]> owned;
    if (!destination) {
        size = defaultChar ? 7 * length + 1 : 2 * length + 2;
        owned = std::make_unique<char[]>(size);
        destination = owned.get();
    }
    if (size == 0)
        return destination;
    std::vector<char16_t> units(length + 1);
    utf8ToUcs2(units.data(), source);
    const size_t count = std::find(units.begin(), units.end(), 0) - units.begin();

    // Text that does not fit is cut after the last whole character, leaving room for the
    // terminator.
    const size_t limit = size - 1;
    size_t out = 0;
    if (!defaultChar) {
        for (size_t at = 0; at < count;) {
            const platform::Cp932Encoded encoded =
                platform::cp932EncodeUnits(&units[at], count - at, platform::wcCompositeCheck);
            const unsigned code = encoded.code < 0 ? platform::cp932DefaultChar : encoded.code;
            if (out + (code > 0xFF ? 2 : 1) > limit)
                break;
            out += platform::cp932PutCode(code, destination + out);
            at += encoded.consumed;
        }
    } else {
        // One unit at a time, so a combining mark stays a reference of its own.
        for (size_t at = 0; at < count; ++at) {
            const platform::Cp932Encoded encoded = platform::cp932EncodeUnits(
                &units[at], 1, platform::wcCompositeCheck | platform::wcNoBestFitChars);
            char piece[8];
            size_t pieceLength;
            if (encoded.code < 0) {
                pieceLength =
                    static_cast<size_t>(std::snprintf(piece, sizeof piece, "&#x%02X%02X",
                                                      unsigned{units[at]} >> 8, unsigned{units[at]} & 0xFFu));
            } else {
                pieceLength = platform::cp932PutCode(static_cast<unsigned>(encoded.code), piece);
            }
            if (out + pieceLength > limit)
                break;
            std::memcpy(destination + out, piece, pieceLength);
            out += pieceLength;
        }
    }
    destination[out] = '\0';
    owned.release();
    return destination;
}

char* TORConverter::ucs2ToUtf8(char* destination, const char16_t* source)
{
    if (!destination || !source)
        return nullptr;
    char* out = destination;
    for (const char16_t* p = source; *p; ++p)
        out += putUtf8(*p, out);
    *out = '\0';
    return destination;
}

char16_t* TORConverter::utf8ToUcs2(char16_t* destination, const char* source)
{
    if (!destination || !source)
        return nullptr;
    Bytes p = bytesOf(source);
    char16_t* out = destination;
    while (*p) {
        const unsigned char lead = *p;
        unsigned unit;
        if (lead < 0x80) {
            unit = lead;
            ++p;
        } else {
            const size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
            size_t present = 1;
            while (present < length && p[present] != 0)
                ++present;
            if (present < length)
                break;
            const Bytes last = p + length - 1;
            if (length == 2)
                unit = (lead & 0x1Fu) << 6 | (last[0] & 0x3Fu);
            else if (length == 3)
                unit = (lead & 0x0Fu) << 12 | (last[-1] & 0x3Fu) << 6 | (last[0] & 0x3Fu);
            else
                unit = (last[-2] & 0x0Fu) << 12 | (last[-1] & 0x3Fu) << 6 | (last[0] & 0x3Fu);
            p += length;
        }
        if (unit == 0)
            break;
        *out++ = static_cast<char16_t>(unit);
    }
    *out = 0;
    return destination;
}

size_t TORConverter::ucs2Length(const char16_t* source)
{
    if (!source)
        return 0;
    size_t units = 0;
    while (source[units] != 0)
        ++units;
    return units * 2;
}

char* TORConverter::toFullKatakana(char* destination, const char* source)
{
    char* lastDoubleByte = nullptr;  // where the last character written starts, when it has two bytes
    return convertText(destination, source, Growth::possible, [&lastDoubleByte](Bytes& p, Writer& out) {
        const unsigned char byte = *p;
        char* start = out.at();
        if (byte == 0xDE || byte == 0xDF) {
            // A sound mark joins the katakana before it when that has a voiced form.
            if (lastDoubleByte) {
                const platform::Cp932HalfWidth half =
                    platform::cp932HalfWidth(codeAt(bytesOf(lastDoubleByte)));
                const unsigned voiced =
                    half.byte && !half.mark ? platform::cp932FullWidthVoiced(half.byte, byte) : 0;
                if (voiced) {
                    platform::cp932PutCode(voiced, lastDoubleByte);
                    lastDoubleByte = nullptr;
                    ++p;
                    return;
                }
            }
            out.byte(*p++);
        } else if (inRange(byte, 0xA0, 0xDD)) {
            out.code(byte == 0xA0 ? kIdeographicSpace : platform::cp932FullWidth(byte));
            ++p;
        } else if (isDoubleByte(p)) {
            const unsigned code = codeAt(p);
            if (isHiragana(code)) {
                const unsigned trail = code & 0xFF;
                out.byte(0x83);
                out.byte(trail - 0x5F + (trail > 0xDD ? 1 : 0));  // katakana skip trail 7F
            } else {
                out.code(code);
            }
            p += 2;
        } else {
            out.byte(*p++);
        }
        lastDoubleByte = out.at() - start == 2 ? start : nullptr;
    });
}

char* TORConverter::toDoubleByte(char* destination, const char* source, unsigned low, unsigned high)
{
    return convertText(destination, source, Growth::possible, [low, high](Bytes& p, Writer& out) {
        if (isDoubleByte(p)) {
            out.code(codeAt(p));
            p += 2;
            return;
        }
        const unsigned char byte = *p++;
        unsigned full = inRange(byte, low, high) ? platform::cp932FullWidth(byte) : 0;
        if (!full) {
            out.byte(byte);
            return;
        }
        if (*p == 0xDE || *p == 0xDF) {
            if (const unsigned voiced = platform::cp932FullWidthVoiced(byte, *p)) {
                full = voiced;
                ++p;
            }
        }
        out.code(full);
    });
}

char* TORConverter::toSingleByte(char* destination, const char* source, unsigned low, unsigned high)
{
    return convertText(destination, source, Growth::never, [low, high](Bytes& p, Writer& out) {
        if (!isDoubleByte(p)) {
            out.byte(*p++);
            return;
        }
        const unsigned code = codeAt(p);
        p += 2;
        const bool kept = code == kProlongedSoundMark || isHiragana(code) || !inRange(code, low, high);
        const platform::Cp932HalfWidth half =
            kept ? platform::Cp932HalfWidth{0, 0} : platform::cp932HalfWidth(code);
        if (!half.byte) {
            out.code(code);
            return;
        }
        out.byte(half.byte);
        if (half.mark)
            out.byte(half.mark);
    });
}

char* TORConverter::toUpper(char* destination, const char* source)
{
    return convertText(destination, source, Growth::never, [](Bytes& p, Writer& out) {
        if (isDoubleByte(p)) {
            unsigned code = codeAt(p);
            if (inRange(code, 0x8281, 0x829A))
                code -= 0x21;  // full-width small letters to full-width capitals
            out.code(code);
            p += 2;
        } else {
            const unsigned char byte = *p++;
            out.byte(inRange(byte, 'a', 'z') ? byte - ('a' - 'A') : byte);
        }
    });
}

char* TORConverter::sjisToJis(char* destination, const char* source)
{
    return sjisToJisCodes(destination, source, 0x00);
}

char* TORConverter::sjisToEuc(char* destination, const char* source)
{
    return sjisToJisCodes(destination, source, 0x80);
}

char* TORConverter::jisToSjis(char* destination, const char* source)
{
    return jisPairsToSjis(destination, source, 0x21, 0x7E);
}

char* TORConverter::eucToSjis(char* destination, const char* source)
{
    return jisPairsToSjis(destination, source, 0xA1, 0xFE);
}

char* TORConverter::sjisToIso2022(char* destination, const char* source)
{
    bool kanji = false;
    const auto step = [&kanji](Bytes& p, Writer& out) {
        if (!isDoubleByte(p)) {
            if (kanji) {
                out.escape('(', 'B');
                kanji = false;
            }
            out.byte(*p++);
            return;
        }
        if (!kanji) {
            out.escape('$', 'B');
            kanji = true;
        }
        const unsigned code = codeAt(p);
        p += 2;
        bool inTable;
        if (const unsigned jis = jisWithEquivalent(code, inTable)) {
            out.byte(jis >> 8);
            out.byte(jis & 0xFF);
        } else if (!inTable) {
            // Not JIS at all (user-defined, IBM rows beyond the table): pass the bytes on.
            out.escape('(', 'B');
            out.code(code);
            out.escape('$', 'B');
        }
    };
    return convertText(destination, source, Growth::possible, step, [&kanji](Writer& out) {
        if (kanji)
            out.escape('(', 'B');
    });
}

char* TORConverter::iso2022ToSjis(char* destination, const char* source)
{
    bool kanji = false;
    return convertText(destination, source, Growth::never, [&kanji](Bytes& p, Writer& out) {
        // Both switches are recognised in either mode; p[2] is only read when p[1] is not
        // the terminator.
        if (p[0] == kEsc && (p[1] == '$' || p[1] == '(') && p[2] == 'B') {
            kanji = p[1] == '$';
            p += 3;
        } else if (kanji && isJisByte(p[0]) && isJisByte(p[1])) {
            const unsigned first = p[0], second = p[1];
            p += 2;
            out.code(sjisOf(first, second));
        } else {
            out.byte(*p++);
        }
    });
}
