// Conversions of the program's Shift-JIS (code page 932) text: to and from UTF-8 and
// UTF-16 for the PDF engine, among the Japanese 8-bit encodings (7-bit JIS codes, EUC-JP,
// ISO-2022-JP), and between half-width and full-width forms. All static; none keeps state,
// so they may be used from any thread.
//
// Common rules: every conversion takes a destination and a zero-terminated source and
// returns the destination, or null when the source is null or the destination is null
// (sjisToUtf8 and utf8ToSjis then allocate one, which the caller frees with delete[]).
// Where no size is given the caller provides a destination large enough for the result.
// Shift-JIS is decoded as Windows does: bytes that form no character, a lead byte right
// before the terminator among them, become U+30FB (・); the byte conversions copy such a
// lead byte as it is. The byte conversions accept the source itself as destination and
// always terminate the result; those that may lengthen the text (toFullKatakana,
// toDoubleByte, sjisToIso2022) then work from a copy. Other overlaps are not supported.
#pragma once

#include <cstddef>

#include "foundation/TORObject.h"

class TORConverter : public virtual TORObject {
public:
    ~TORConverter() override = default;

    // Shift-JIS to UTF-8 in a destination of size bytes, which is zero-filled first. Null
    // when the UTF-16 units of the text with its terminator are not fewer than size or the
    // UTF-8 with its terminator does not fit. Without a destination one is allocated.
    static char* sjisToUtf8(char* destination, size_t size, const char* source);

    // UTF-8 to Shift-JIS in at most size bytes, always terminated and never ending in half a
    // character (text that does not fit is cut). Without defaultChar, characters without a
    // code take Windows' best-fit substitutes or "?", and a base with a combining sound mark
    // is composed (か + U+3099 -> が); with one, each UTF-16 unit without a code of its own is
    // written as "&#x" and four capital hex digits (U+00E9 -> &#x00E9). Without a destination
    // one of 2 x length + 2 bytes (7 x length + 1 with defaultChar) is allocated.
    static char* utf8ToSjis(char* destination, size_t size, const char* source, const char* defaultChar);

    // UTF-16 to UTF-8, zero-terminated; surrogates are encoded one by one.
    static char* ucs2ToUtf8(char* destination, const char16_t* source);
    // UTF-8 to UTF-16, zero-terminated. Continuation bytes are not checked; characters
    // beyond U+FFFF keep their low 16 bits; a sequence cut short by the terminator or a
    // character decoding to zero ends the text.
    static char16_t* utf8ToUcs2(char16_t* destination, const char* source);
    // Length of a zero-terminated UTF-16 text in bytes (units x 2), 0 for null.
    static size_t ucs2Length(const char16_t* source);

    // Half-width katakana and hiragana to full-width katakana. A half-width sound mark
    // joins the katakana before it when that has a voiced form (カ + ﾞ -> ガ); otherwise it
    // is kept as it is.
    static char* toFullKatakana(char* destination, const char* source);
    // Single-byte characters from low to high to their full-width forms, a half-width
    // katakana and a following sound mark to one voiced katakana.
    static char* toDoubleByte(char* destination, const char* source, unsigned low, unsigned high);
    // Double-byte characters with codes from low to high to their half-width forms (voiced
    // katakana to a katakana and a sound mark); ー and hiragana stay as they are.
    static char* toSingleByte(char* destination, const char* source, unsigned low, unsigned high);
    // ASCII and full-width Latin letters to capitals.
    static char* toUpper(char* destination, const char* source);

    // Shift-JIS to the two-byte JIS X 0208 codes (no escape sequences), or to EUC-JP. IBM
    // extensions go through their NEC-selected equivalents; characters without a JIS code
    // are dropped.
    static char* sjisToJis(char* destination, const char* source);
    static char* sjisToEuc(char* destination, const char* source);
    // JIS codes (every pair of bytes 21-7E, ASCII included) or EUC-JP to Shift-JIS.
    static char* jisToSjis(char* destination, const char* source);
    static char* eucToSjis(char* destination, const char* source);
    // Shift-JIS to ISO-2022-JP (ESC $ B and ESC ( B); characters without a JIS code that no
    // equivalent replaces pass through as their Shift-JIS bytes between ESC ( B and ESC $ B.
    static char* sjisToIso2022(char* destination, const char* source);
    static char* iso2022ToSjis(char* destination, const char* source);
};
