// The encodings of texts handed to the engine as hypertext (document
// information, option values): UTF-8 when they carry the mark EF BB BF,
// otherwise the handle's hypertextencoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pdfengine {

enum class HypertextEncoding { Winansi, Unicode, Utf8 };

inline constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

bool startsWithUtf8Bom(std::string_view text);

// Whether the bytes are well-formed UTF-8 (shortest forms, no surrogates).
bool isValidUtf8(std::string_view text);

// Appends the character (at most U+10FFFF) in UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Windows code page 1252 to UTF-8, as Windows converts it (the five bytes the
// code page leaves undefined become the C1 controls of the same value).
std::string cp1252ToUtf8(std::string_view bytes);

// A hypertext value as UTF-8. A value beginning with the UTF-8 mark is UTF-8
// (the mark removed), as is every value when utf8Context says it came from an
// option list that began with the mark; otherwise the value is read in
// `encoding` (unicode and utf8 both mean UTF-8: a NUL-terminated value cannot
// carry UTF-16). Returns nothing when a value meant as UTF-8 is not valid UTF-8.
std::optional<std::string> hypertextToUtf8(std::string_view value, HypertextEncoding encoding,
                                           bool utf8Context = false);

}  // namespace pdfengine
