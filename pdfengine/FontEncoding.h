// The 8-bit encodings of simple fonts: winansi (PDF's WinAnsiEncoding, code page
// 1252), iso8859-1, macroman, standard (Adobe StandardEncoding) and the own
// encodings of Symbol and ZapfDingbats. Each code has a glyph name and the
// Unicode character it stands for; the tables are compiled in.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pdfengine {

namespace fontdata {
struct EncodingRecord;
}

class FontEncoding {
public:
    // The /Encoding of a simple font: a predefined base encoding (or none, for the
    // font's own) and the codes whose glyphs differ from it.
    struct Dictionary {
        std::string baseEncoding;  // WinAnsiEncoding, MacRomanEncoding, StandardEncoding or ""
        std::vector<std::pair<int, std::string>> differences;  // ascending codes

        bool needsDictionary() const { return !differences.empty(); }
    };

    // The encoding of that name (case ignored), or null.
    static const FontEncoding* find(std::string_view name);

    const char* name() const;
    // The predefined PDF encoding that writes this one, or "" when there is none.
    const char* pdfName() const;

    // Glyph name of a code, or null when the code is undefined.
    const char* glyphName(uint8_t code) const;
    // Unicode character of a code, or 0 when the code is undefined.
    char32_t unicode(uint8_t code) const;
    // The code of a Unicode character, if the encoding has one.
    std::optional<uint8_t> code(char32_t unicode) const;
    // The same, searched in the encoding's table by Unicode; code() reads the
    // characters below U+0100 from a table made from this.
    std::optional<uint8_t> searchCode(char32_t unicode) const;

    // The smallest /Encoding that gives each used code (glyphNames[code] not null)
    // its glyph: the predefined base encoding with the fewest differences.
    static Dictionary dictionaryFor(const std::array<const char*, 256>& glyphNames);

private:
    friend class StandardFont;
    explicit constexpr FontEncoding(const fontdata::EncodingRecord* record) : record_(record) {}
    // Glyph name of a code in the predefined PDF encoding of this name (which may
    // define fewer codes), or null.
    const char* pdfGlyphName(uint8_t code) const;
    // Number of the glyph in the compiled-in glyph list, or -1.
    int glyphNumber(uint8_t code) const;

    const fontdata::EncodingRecord* record_;
    // Code by character for U+0000 to U+00FF, -1 for none; made on first use,
    // since nearly every character of a Latin text is one of them.
    mutable std::once_flag latinMade_;
    mutable std::array<int16_t, 256> latin_{};
};

}  // namespace pdfengine
