// A Japanese standard font (HeiseiMin-W3, ...) with a predefined CMap, written as
// a Type0 font whose /Encoding names the CMap; readers bring the glyphs.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "pdfengine/CidCMap.h"
#include "pdfengine/CidStandardFont.h"
#include "pdfengine/PdfFont.h"

namespace pdfengine {

class PdfJapaneseFont : public PdfFont {
public:
    PdfJapaneseFont(const CidStandardFont& font, const CidCMap& cmap);

    // Codes the CMap does not map (and invalid bytes) are replaced by a code that
    // shows notdef.
    GlyphRun mapBytes(std::string_view bytes) const override;
    // Characters go to the CMap's codes: UTF-16 or UCS-2 codes, or the code page 932
    // codes of the Shift-JIS CMaps. Characters without a code show notdef.
    GlyphRun mapUnicode(std::u32string_view text) const override;
    void use(const GlyphRun& run) override;
    FontObjects objects() const override;
    int ascender() const override { return 880; }
    int descender() const override { return -120; }

    const CidCMap& cmap() const { return cmap_; }

private:
    GlyphRun::Glyph glyphOf(const CidCMap::Code& code) const;
    char32_t unicodeOf(uint32_t code) const;
    std::optional<uint32_t> codeFor(char32_t c) const;

    const CidStandardFont& font_;
    const CidCMap& cmap_;
    std::map<uint16_t, int> widths_;                       // CIDs used
    std::map<uint32_t, char32_t> text_;                    // code -> character
    std::vector<bool> seen_ = std::vector<bool>(0x10000);  // codes up to FFFF fully recorded
};

}  // namespace pdfengine
