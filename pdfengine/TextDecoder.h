// How the bytes of a shown text become Unicode characters: UTF-16 of either byte
// order, UTF-8, code page 932 (Shift-JIS) and the 8-bit font encodings. Malformed
// input (a lone surrogate, an odd last byte, bytes that form no character) becomes
// U+FFFD, so that it is shown as what the font has for it, or as notdef, and
// counted, never dropped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pdfengine {

class FontEncoding;

enum class ByteOrderMark { Utf16BigEndian, Utf16LittleEndian, Utf8 };

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The mark a text begins with (FE FF, FF FE, EF BB BF), if any.
std::optional<ByteOrderMark> byteOrderMark(std::string_view text);
// The mark's length in bytes.
size_t byteOrderMarkLength(ByteOrderMark mark);

// Each function replaces the contents of `out`.
void decodeUtf16(std::string_view bytes, bool bigEndian, std::u32string& out);
void decodeUtf8(std::string_view bytes, std::u32string& out);
void decodeShiftJis(std::string_view bytes, std::u32string& out);
// Codes the encoding leaves undefined become U+FFFD.
void decodeEightBit(std::string_view bytes, const FontEncoding& encoding, std::u32string& out);
// A text after its mark.
void decodeMarked(std::string_view text, ByteOrderMark mark, std::u32string& out);

// A character as UTF-16BE; one that is none (a surrogate, beyond U+10FFFF) as U+FFFD.
void appendUtf16BE(std::string& out, char32_t c);

// A name given in code page 932 (as Japanese configurations write font names) as
// UTF-8; UTF-8 stays as it is, without its mark.
std::string fontNameToUtf8(std::string_view name);

}  // namespace pdfengine
