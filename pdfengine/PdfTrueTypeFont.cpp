#include "pdfengine/PdfTrueTypeFont.h"

#include <array>
#include <set>

#include "pdfengine/FontError.h"
#include "pdfengine/FontSubsetter.h"
#include "pdfengine/ToUnicodeCMap.h"

namespace pdfengine {

PdfTrueTypeFont::PdfTrueTypeFont(std::shared_ptr<const FontFile> font, const FontEncoding& encoding,
                                 bool embed, bool subset)
    : font_(std::move(font)),
      encoding_(encoding),
      embed_(embed),
      subset_(subset && font_->subsettingAllowed())
{
    if (font_->format() != FontFile::Format::TrueType)
        throw FontError("Font " + font_->postScriptName() + " of file '" + font_->what() +
                        "' has CFF outlines and can't be a simple TrueType font");
    if (embed_ && !font_->embeddingAllowed())
        throw FontError("Font " + font_->postScriptName() + " of file '" + font_->what() +
                        "' doesn't allow embedding (fsType " + std::to_string(font_->fsType()) + ")");
}

bool PdfTrueTypeFont::symbolic() const
{
    return font_->glyphFor(U'A') == 0 && font_->glyphFor(0xF041) != 0;
}

// Readers find a simple TrueType font's glyph through the code's glyph name and
// the font's Unicode cmap, which is what this does too; a code without a glyph is
// written as code 0, which shows notdef.
GlyphRun::Glyph PdfTrueTypeFont::glyphOf(uint8_t code, char32_t unicode) const
{
    GlyphRun::Glyph g;
    g.unicode = unicode;
    uint32_t glyph = 0;
    if (symbolic())
        glyph = font_->glyphFor(0xF000 + code);
    else if (encoding_.glyphName(code))
        glyph = font_->glyphFor(unicode);
    if (glyph == 0) {
        g.missing = true;
        g.code = 0;
    } else {
        g.code = code;
    }
    g.glyph = glyph;
    g.width = font_->width(glyph);
    return g;
}

GlyphRun PdfTrueTypeFont::mapBytes(std::string_view bytes) const
{
    GlyphRun run;
    run.reserve(bytes.size());
    for (char c : bytes) {
        uint8_t code = static_cast<uint8_t>(c);
        GlyphRun::Glyph g = glyphOf(code, encoding_.unicode(code));
        run.add(g);
    }
    return run;
}

GlyphRun PdfTrueTypeFont::mapUnicode(std::u32string_view text) const
{
    GlyphRun run;
    run.reserve(text.size());
    for (char32_t c : text) {
        std::optional<uint8_t> code = symbolic() && c < 0x100 ? std::optional<uint8_t>(c) : encoding_.code(c);
        GlyphRun::Glyph g = code ? glyphOf(*code, c) : glyphOf(0, c);
        g.unicode = c;
        run.add(g);
    }
    return run;
}

void PdfTrueTypeFont::use(const GlyphRun& run)
{
    for (const GlyphRun::Glyph& g : run.glyphs) {
        auto code = static_cast<uint8_t>(g.code);
        if (!seen_[code]) {
            seen_[code] = true;
            used_.try_emplace(code, g);
        }
    }
}

FontObjects PdfTrueTypeFont::objects() const
{
    FontObjects o;
    o.kind = FontObjects::Kind::TrueType;
    bool isSymbolic = symbolic();
    std::string name = font_->postScriptName();
    std::set<uint32_t> glyphs;
    for (const auto& [code, g] : used_)
        glyphs.insert(g.glyph);
    if (embed_) {
        o.program = subset_ ? FontSubsetter::subset(*font_, glyphs) : FontSubsetter::whole(*font_);
        if (!o.program->tag.empty())
            name = o.program->tag + "+" + name;
    }
    o.baseFont = name;
    o.descriptor = font_->descriptor(isSymbolic);
    o.descriptor->fontName = name;
    if (!isSymbolic) {
        std::array<const char*, 256> names{};
        for (const auto& [code, g] : used_)
            names[code] = g.missing ? nullptr : encoding_.glyphName(code);
        FontEncoding::Dictionary dictionary = FontEncoding::dictionaryFor(names);
        if (dictionary.needsDictionary())
            o.encodingDictionary = dictionary;
        else
            o.encodingName = dictionary.baseEncoding;
    }
    ToUnicodeCMap toUnicode = ToUnicodeCMap::oneByte();
    if (!used_.empty()) {
        o.firstChar = used_.begin()->first;
        o.widths.assign(used_.rbegin()->first - o.firstChar + 1, 0);
        for (const auto& [code, g] : used_) {
            o.widths[code - o.firstChar] = g.width;
            if (!g.missing && g.unicode)
                toUnicode.add(code, std::u32string(1, g.unicode));
        }
    }
    if (!toUnicode.empty())
        o.toUnicode = toUnicode.build();
    return o;
}

}  // namespace pdfengine
