// Code page 932 (Windows Shift-JIS) to and from UTF-16, exactly as Windows converts it:
// the NEC special characters, the NEC-selected and IBM extensions, the user-defined area
// F040-F9FC (U+E000-U+E757), Windows' choice among characters with two codes, its best-fit
// substitutes and its composition of a base character with a combining mark.
//
// Per-character primitives for callers that walk text themselves, and stand-ins of
// MultiByteToWideChar and WideCharToMultiByte for whole buffers. All tables are constant
// data; nothing is set up at start-up and every function may be used from any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// What Windows decodes bytes to that form no character (KATAKANA MIDDLE DOT).
inline constexpr char16_t cp932NoCharacter = 0x30FB;
// What Windows encodes characters to that have no code, unless given another.
inline constexpr char cp932DefaultChar = '?';

// Whether a byte begins a two-byte character (81-9F, E0-FC).
constexpr bool cp932IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct Cp932Decoded {
    char16_t unit;   // the character; cp932NoCharacter for bytes that form none
    uint8_t length;  // bytes taken: 2 for a lead byte with a following byte, else 1
    bool valid;      // false where MB_ERR_INVALID_CHARS makes Windows reject the bytes
};

// Decodes the character at text[0]. A lead byte takes the byte after it as its partner
// unless that is beyond available or a NUL, which Windows never swallows; a lone lead
// byte then decodes to cp932NoCharacter. available must be at least 1.
Cp932Decoded cp932Decode(const char* text, size_t available);

// The character of a code (a byte below 0x100, lead * 256 + trail above), or -1 when the
// code is no character.
int cp932DecodeCode(unsigned code);

// The code Windows encodes a character to: a byte below 0x100, lead * 256 + trail above.
// -1 when it has none; with bestFit also Windows' substitute, as it uses them when no
// default character is given (U+00E9 -> 'e', U+00A5 -> 0x5C). Characters beyond
// U+FFFF have no code.
int cp932Encode(char32_t character, bool bestFit);

// Writes the one or two bytes of a code to out and returns how many.
inline size_t cp932PutCode(unsigned code, char* out)
{
    if (code > 0xFF) {
        out[0] = static_cast<char>(code >> 8);
        out[1] = static_cast<char>(code & 0xFF);
        return 2;
    }
    out[0] = static_cast<char>(code);
    return 1;
}

// Flags of the buffer conversions, with Windows' values.
inline constexpr unsigned mbPrecomposed = 0x01;      // code page 932 has nothing to compose
inline constexpr unsigned mbErrInvalidChars = 0x08;  // fail on bytes that form no character
inline constexpr unsigned wcCompositeCheck = 0x200;  // compose a base and a combining mark
inline constexpr unsigned wcNoBestFitChars = 0x400;  // no best-fit substitutes

struct Cp932Encoded {
    int code;          // as cp932Encode gives it; -1: the caller writes its default character
    uint8_t consumed;  // units taken: 2 for a base and a combining mark composed, else 1
};

// Encodes the character at units[0] as WideCharToMultiByte does with these flags: with
// wcCompositeCheck a base followed by a combining mark (か + U+3099, A + U+0300) becomes
// the code of the precomposed character when that has one (a best-fit one too, unless
// wcNoBestFitChars); otherwise the base is encoded alone and the mark comes next.
// available (the units that may be read) must be at least 1.
Cp932Encoded cp932EncodeUnits(const char16_t* units, size_t available, unsigned flags);

// MultiByteToWideChar(932, flags, ...): decodes sourceLength bytes, or up to and with the
// terminating NUL when sourceLength is -1. With a destinationCount of 0 it returns the
// number of units needed; otherwise the units written. Returns 0 when the destination is
// too small (the units that fit are written), when mbErrInvalidChars is given and a byte
// forms no character, or for unknown flags and bad arguments.
int cp932MultiByteToWideChar(unsigned flags, const char* source, int sourceLength, char16_t* destination,
                             int destinationCount);

// WideCharToMultiByte(932, flags, ...) with flags 0, wcCompositeCheck and/or
// wcNoBestFitChars: encodes sourceLength units, or up to and with the terminating zero
// when sourceLength is -1. A character without a code becomes the first character of
// defaultChar (cp932DefaultChar when none is given) and sets *usedDefaultChar when
// that is given. Returns the bytes written or, with a destinationSize of 0, needed; 0 when
// the destination is too small (the characters that fit are written, never half of one),
// for unknown flags and bad arguments.
int cp932WideCharToMultiByte(unsigned flags, const char16_t* source, int sourceLength, char* destination,
                             int destinationSize, const char* defaultChar, bool* usedDefaultChar);

}  // namespace platform
