// Compiled-in data of the 14 standard fonts and their 8-bit encodings; the arrays
// are written by tools/gen_standard_fonts.py into font_standard_table.cpp.
#pragma once

#include <cstdint>

namespace pdfengine::fontdata {

struct StandardFontRecord {
    const char* name;
    int16_t bbox[4];
    int16_t ascent;
    int16_t descent;
    int16_t capHeight;
    int16_t xHeight;
    float italicAngle;
    int16_t stemV;
    uint32_t flags;
    uint16_t firstGlyph;  // the font's glyphs are kStandardGlyphNames[firstGlyph, +glyphCount)
    uint16_t glyphCount;
    const uint16_t* widths;  // glyphCount widths in 1/1000 em
    int16_t notdefWidth;
    int8_t builtinEncoding;  // index into kEncodings
};

struct UnicodeCode {
    uint16_t unicode;
    uint8_t code;
};

struct EncodingRecord {
    const char* name;
    const char* pdfName;           // the predefined PDF encoding of that name, or ""
    const uint16_t* glyphs;        // code -> glyph number, 0xFFFF where undefined
    const uint16_t* unicode;       // code -> Unicode, 0 where undefined
    const UnicodeCode* byUnicode;  // ascending by Unicode
    uint16_t byUnicodeCount;
    uint8_t notInPdf[32];  // bit set: the predefined PDF encoding leaves the code undefined
};

extern const char* const kStandardGlyphNames[];
extern const uint16_t kStandardGlyphCount;
extern const uint16_t kStandardGlyphsByName[];
constexpr int kStandardFontCount = 14;
extern const StandardFontRecord kStandardFonts[kStandardFontCount];
constexpr int kEncodingCount = 6;
extern const EncodingRecord kEncodings[kEncodingCount];

}  // namespace pdfengine::fontdata
