// A font file shown through 16-bit codes: a Type0 font with Identity-H whose
// codes are glyph ids (CIDs of a CID-keyed CFF font), embedded as a subset with
// its widths and a ToUnicode map.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "pdfengine/FontEncoding.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/PdfFont.h"

namespace pdfengine {

class PdfType0Font : public PdfFont {
public:
    struct Options {
        bool embed = true;
        bool subset = true;
        // Texts given as bytes are read in this 8-bit encoding; none: mapBytes is refused.
        const FontEncoding* byteEncoding = nullptr;
    };

    // A FontError when embedding is asked for and the font forbids it.
    PdfType0Font(std::shared_ptr<const FontFile> font, Options options);

    GlyphRun mapBytes(std::string_view bytes) const override;
    GlyphRun mapUnicode(std::u32string_view text) const override;
    GlyphRun mapGlyphIds(const std::vector<uint16_t>& glyphs) const override;
    void use(const GlyphRun& run) override;
    FontObjects objects() const override;
    int ascender() const override { return font_->ascender(); }
    int descender() const override { return font_->descender(); }

private:
    GlyphRun::Glyph glyphOf(uint32_t glyph, char32_t unicode, bool missing) const;

    std::shared_ptr<const FontFile> font_;
    Options options_;
    std::set<uint32_t> glyphs_;          // glyph ids used
    std::map<uint32_t, char32_t> text_;  // CID -> character
    std::vector<bool> seen_;             // glyph ids fully recorded, looked up for every glyph shown
};

}  // namespace pdfengine
