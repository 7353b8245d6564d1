// A TrueType font file with an 8-bit encoding, written as a simple TrueType font:
// one byte per character, /Encoding with the differences its codes need, /Widths,
// and the glyphs used embedded as a subset. A font with only a symbol cmap is used
// with its own codes (F000 + code) and marked symbolic.
#pragma once

#include <bitset>
#include <map>
#include <memory>

#include "pdfengine/FontEncoding.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/PdfFont.h"

namespace pdfengine {

class PdfTrueTypeFont : public PdfFont {
public:
    // A FontError for a font with CFF outlines (use PdfType0Font) or one that
    // forbids the embedding asked for.
    PdfTrueTypeFont(std::shared_ptr<const FontFile> font, const FontEncoding& encoding, bool embed,
                    bool subset);

    GlyphRun mapBytes(std::string_view bytes) const override;
    GlyphRun mapUnicode(std::u32string_view text) const override;
    void use(const GlyphRun& run) override;
    FontObjects objects() const override;
    int ascender() const override { return font_->ascender(); }
    int descender() const override { return font_->descender(); }

private:
    bool symbolic() const;
    GlyphRun::Glyph glyphOf(uint8_t code, char32_t unicode) const;

    std::shared_ptr<const FontFile> font_;
    const FontEncoding& encoding_;
    bool embed_;
    bool subset_;
    std::map<uint8_t, GlyphRun::Glyph> used_;  // by code
    std::bitset<256> seen_;                    // the codes in used_
};

}  // namespace pdfengine
