// One of the 14 standard PDF fonts (Courier, Helvetica, Times in four styles,
// Symbol, ZapfDingbats): never embedded, so its metrics are compiled in. Widths
// are in 1/1000 em.
#pragma once

#include <cstdint>
#include <string_view>

#include "pdfengine/FontDescriptor.h"
#include "pdfengine/FontEncoding.h"

namespace pdfengine {

namespace fontdata {
struct StandardFontRecord;
}

class StandardFont {
public:
    // The font of that exact PDF name ("Helvetica-Bold"), or null.
    static const StandardFont* find(std::string_view name);

    const char* name() const;
    // Symbol and ZapfDingbats: their glyphs are not Latin and they only have their own encoding.
    bool symbolic() const;
    // StandardEncoding for the Latin fonts, the font's own for the other two.
    const FontEncoding& builtinEncoding() const;
    FontDescriptor descriptor() const;

    // Width of a glyph by name, or -1 when the font has no such glyph.
    int width(std::string_view glyphName) const;
    // Width of a code in an encoding, or -1 when the code is undefined there or the
    // font lacks its glyph.
    int width(const FontEncoding& encoding, uint8_t code) const;
    // Width of the glyph shown for codes without a glyph.
    int notdefWidth() const;

private:
    explicit constexpr StandardFont(const fontdata::StandardFontRecord* record) : record_(record) {}
    int widthOfNumber(int glyph) const;

    const fontdata::StandardFontRecord* record_;
};

}  // namespace pdfengine
