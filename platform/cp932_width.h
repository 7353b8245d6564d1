// Full-width and half-width forms of code page 932 characters, as LCMapStringA with
// LCMAP_FULLWIDTH and LCMAP_HALFWIDTH gives them for Japanese: ASCII and half-width
// katakana and punctuation on one side, their double-byte forms on the other. Codes are
// a byte below 0x100 and lead * 256 + trail above. Constant tables; safe from any thread.
#pragma once

namespace platform {

// The full-width code of a single-byte character (0x41 -> 0x8260, 0xB6 -> 0x834A), 0 when
// it has none. The lone sound marks 0xDE and 0xDF have none: Windows can only write "?"
// for them.
unsigned cp932FullWidth(unsigned char byte);

// The full-width code of a half-width katakana followed by a sound mark, 0xDE (voiced) or
// 0xDF (semi-voiced): 0xB6 0xDE -> 0x834B, 0xCA 0xDF -> 0x8370; 0 when the pair has none.
unsigned cp932FullWidthVoiced(unsigned char kana, unsigned char mark);

struct Cp932HalfWidth {
    unsigned char byte;  // the single-byte form, 0 when there is none
    unsigned char mark;  // 0xDE or 0xDF to write after it for voiced katakana, else 0
};

// The half-width form of a double-byte character (0x8260 -> 0x41, 0x834B -> 0xB6 0xDE).
Cp932HalfWidth cp932HalfWidth(unsigned code);

}  // namespace platform
