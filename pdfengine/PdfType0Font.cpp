#include "pdfengine/PdfType0Font.h"

#include "pdfengine/FontError.h"
#include "pdfengine/FontSubsetter.h"
#include "pdfengine/ToUnicodeCMap.h"

namespace pdfengine {

PdfType0Font::PdfType0Font(std::shared_ptr<const FontFile> font, Options options)
    : font_(std::move(font)), options_(options)
{
    if (options_.embed && !font_->embeddingAllowed())
        throw FontError("Font " + font_->postScriptName() + " of file '" + font_->what() +
                        "' doesn't allow embedding (fsType " + std::to_string(font_->fsType()) + ")");
    // A font that forbids subsets is embedded whole.
    if (!font_->subsettingAllowed())
        options_.subset = false;
}

inline GlyphRun::Glyph PdfType0Font::glyphOf(uint32_t glyph, char32_t unicode, bool missing) const
{
    GlyphRun::Glyph g;
    g.glyph = missing ? 0 : glyph;
    g.code = font_->pdfCid(g.glyph);
    g.codeLength = 2;
    g.unicode = unicode;
    g.missing = missing;
    g.width = font_->width(g.glyph);
    return g;
}

GlyphRun PdfType0Font::mapUnicode(std::u32string_view text) const
{
    GlyphRun run;
    run.reserve(text.size());
    for (char32_t c : text) {
        uint32_t glyph = font_->glyphFor(c);
        GlyphRun::Glyph g = glyphOf(glyph, c, glyph == 0);
        run.add(g);
    }
    return run;
}

GlyphRun PdfType0Font::mapBytes(std::string_view bytes) const
{
    if (!options_.byteEncoding)
        throw FontError("Font " + font_->postScriptName() + " takes Unicode text or glyph ids, not bytes");
    std::u32string text;
    for (char c : bytes)
        text.push_back(options_.byteEncoding->unicode(static_cast<uint8_t>(c)));
    return mapUnicode(text);
}

GlyphRun PdfType0Font::mapGlyphIds(const std::vector<uint16_t>& glyphs) const
{
    GlyphRun run;
    run.reserve(glyphs.size());
    for (uint16_t glyph : glyphs) {
        bool missing = glyph == 0 || !font_->hasGlyph(glyph);
        GlyphRun::Glyph g = glyphOf(glyph, missing ? 0 : font_->unicodeOf(glyph), missing);
        run.add(g);
    }
    return run;
}

void PdfType0Font::use(const GlyphRun& run)
{
    if (seen_.empty())
        seen_.resize(static_cast<size_t>(font_->glyphCount()));
    for (const GlyphRun::Glyph& g : run.glyphs) {
        if (g.glyph < seen_.size() && seen_[g.glyph])
            continue;
        glyphs_.insert(g.glyph);
        if (!g.missing && g.unicode)
            text_.try_emplace(g.code, g.unicode);
        // A glyph first shown without its character may get one later.
        if (g.glyph < seen_.size() && (g.missing || g.unicode))
            seen_[g.glyph] = true;
    }
}

FontObjects PdfType0Font::objects() const
{
    FontObjects o;
    o.kind = FontObjects::Kind::Type0;
    o.encodingName = "Identity-H";
    bool cff = font_->format() == FontFile::Format::OpenTypeCff;
    o.cidFontType = cff ? "CIDFontType0" : "CIDFontType2";
    o.cidToGidIdentity = !cff;
    o.registry = "Adobe";
    o.ordering = "Identity";
    o.supplement = 0;
    std::string name = font_->postScriptName();
    if (options_.embed) {
        o.program = options_.subset
                        ? FontSubsetter::subset(*font_, glyphs_, FontSubsetter::Tables::ForCidFont)
                        : FontSubsetter::whole(*font_);
        if (!o.program->tag.empty())
            name = o.program->tag + "+" + name;
        // A TrueType subset's glyphs were renumbered; the CIDs (the original ids) are not.
        if (!o.program->newGlyphIds.empty()) {
            o.cidToGidIdentity = false;
            o.cidToGidMap = o.program->newGlyphIds;
        }
    }
    o.baseFont = name;
    o.cidBaseFont = name;
    o.descriptor = font_->descriptor(true);
    o.descriptor->fontName = name;
    o.defaultWidth = font_->width(0);
    std::map<uint32_t, int> widths;
    for (uint32_t glyph : glyphs_)
        widths[font_->pdfCid(glyph)] = font_->width(glyph);
    o.cidWidths = CidWidthArray::build(widths, o.defaultWidth);
    if (!text_.empty()) {
        ToUnicodeCMap toUnicode;
        toUnicode.add(text_);
        o.toUnicode = toUnicode.build();
    }
    return o;
}

}  // namespace pdfengine
