// A standard font (Helvetica, ..., ZapfDingbats) with an 8-bit encoding, written
// as a Type1 font without font program.
#pragma once

#include <array>
#include <bitset>
#include <map>

#include "pdfengine/FontEncoding.h"
#include "pdfengine/PdfFont.h"
#include "pdfengine/StandardFont.h"

namespace pdfengine {

class PdfStandardFont : public PdfFont {
public:
    // Symbol and ZapfDingbats always use their own encoding.
    PdfStandardFont(const StandardFont& font, const FontEncoding& encoding);

    GlyphRun mapBytes(std::string_view bytes) const override;
    GlyphRun mapUnicode(std::u32string_view text) const override;
    void use(const GlyphRun& run) override;
    FontObjects objects() const override;
    int ascender() const override;
    int descender() const override;

    const FontEncoding& encoding() const { return encoding_; }
    const StandardFont& standardFont() const { return font_; }

private:
    GlyphRun::Glyph glyphOf(uint8_t code) const;
    GlyphRun::Glyph measure(uint8_t code) const;
    // The glyph shown for a character: its code's, or notdef's when the
    // encoding lacks it.
    GlyphRun::Glyph glyphOfCharacter(char32_t c) const;

    const StandardFont& font_;
    const FontEncoding& encoding_;
    std::array<GlyphRun::Glyph, 256> glyphs_;  // by code
    std::array<GlyphRun::Glyph, 256> latin_;   // by character, U+0000 to U+00FF
    std::map<uint8_t, char32_t> used_;         // code -> character (0 when unknown)
    std::bitset<256> seen_;                    // the codes in used_, looked up for every glyph shown
};

}  // namespace pdfengine
