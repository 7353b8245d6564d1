// A font as a document uses it: a font with the encoding it was loaded with. It
// maps texts to codes, glyphs and widths, remembers what the document showed, and
// at the end says which PDF objects represent it (only the glyphs used, their
// widths and their Unicode text).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdfengine/FontObjects.h"
#include "pdfengine/GlyphRun.h"

namespace pdfengine {

class PdfFont {
public:
    virtual ~PdfFont() = default;

    // A text in the font's own codes: one byte per character for 8-bit encodings,
    // the codes of the CMap for CMap encodings.
    virtual GlyphRun mapBytes(std::string_view bytes) const = 0;
    // A text of Unicode characters.
    virtual GlyphRun mapUnicode(std::u32string_view text) const = 0;
    // Glyph ids (the glyphid encoding); only fonts from font files have them.
    virtual GlyphRun mapGlyphIds(const std::vector<uint16_t>& glyphs) const;

    // Records a run the document showed, for the objects written at the end.
    virtual void use(const GlyphRun& run) = 0;
    virtual FontObjects objects() const = 0;

    // The font's ascender and descender (negative), 1/1000 em: the height of a text line.
    virtual int ascender() const = 0;
    virtual int descender() const = 0;
};

}  // namespace pdfengine
