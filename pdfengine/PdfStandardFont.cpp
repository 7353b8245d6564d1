#include "pdfengine/PdfStandardFont.h"

#include "pdfengine/ToUnicodeCMap.h"

namespace pdfengine {

PdfStandardFont::PdfStandardFont(const StandardFont& font, const FontEncoding& encoding)
    : font_(font), encoding_(font.symbolic() ? font.builtinEncoding() : encoding)
{
    // Every text looks its bytes up here: one table for the font and encoding.
    for (int code = 0; code < 256; ++code)
        glyphs_[static_cast<size_t>(code)] = measure(static_cast<uint8_t>(code));
    // Nearly every character of a Latin text is one of the first 256.
    for (char32_t c = 0; c < latin_.size(); ++c)
        latin_[c] = glyphOfCharacter(c);
}

GlyphRun::Glyph PdfStandardFont::glyphOfCharacter(char32_t c) const
{
    GlyphRun::Glyph g = glyphOf(encoding_.code(c).value_or(0));
    g.unicode = c;
    return g;
}

GlyphRun::Glyph PdfStandardFont::glyphOf(uint8_t code) const
{
    return glyphs_[code];
}

// A code without a glyph is written as code 0, which no encoding defines: readers
// show notdef for it.
GlyphRun::Glyph PdfStandardFont::measure(uint8_t code) const
{
    GlyphRun::Glyph g;
    int width = font_.width(encoding_, code);
    g.unicode = encoding_.unicode(code);
    // The control codes are ASCII's in every 8-bit encoding; text flow needs
    // to know line feeds even though no font has a glyph for them.
    if (g.unicode == 0 && code < 32)
        g.unicode = code;
    if (width < 0) {
        g.missing = true;
        g.code = g.glyph = 0;
        g.width = font_.notdefWidth();
    } else {
        g.code = g.glyph = code;
        g.width = width;
    }
    return g;
}

GlyphRun PdfStandardFont::mapBytes(std::string_view bytes) const
{
    GlyphRun run;
    run.addBytes(bytes, glyphs_.data());
    return run;
}

GlyphRun PdfStandardFont::mapUnicode(std::u32string_view text) const
{
    GlyphRun run;
    run.reserve(text.size());
    for (char32_t c : text)
        run.add(c < latin_.size() ? latin_[c] : glyphOfCharacter(c));
    return run;
}

void PdfStandardFont::use(const GlyphRun& run)
{
    for (const GlyphRun::Glyph& g : run.glyphs) {
        auto code = static_cast<uint8_t>(g.code);
        if (!seen_[code]) {
            seen_[code] = true;
            used_.try_emplace(code, g.missing ? 0 : g.unicode);
        }
    }
}

FontObjects PdfStandardFont::objects() const
{
    FontObjects o;
    o.kind = FontObjects::Kind::Type1;
    o.baseFont = font_.name();
    if (!font_.symbolic()) {
        std::array<const char*, 256> names{};
        for (const auto& [code, unicode] : used_)
            names[code] = encoding_.glyphName(code);
        FontEncoding::Dictionary dictionary = FontEncoding::dictionaryFor(names);
        if (dictionary.needsDictionary())
            o.encodingDictionary = dictionary;
        else
            o.encodingName = dictionary.baseEncoding;
    }
    if (!used_.empty()) {
        o.firstChar = used_.begin()->first;
        int last = used_.rbegin()->first;
        o.widths.assign(last - o.firstChar + 1, 0);
        for (const auto& [code, unicode] : used_)
            o.widths[code - o.firstChar] = glyphOf(code).width;
    }
    ToUnicodeCMap toUnicode = ToUnicodeCMap::oneByte();
    for (const auto& [code, unicode] : used_) {
        if (unicode)
            toUnicode.add(code, std::u32string(1, unicode));
    }
    if (!toUnicode.empty())
        o.toUnicode = toUnicode.build();
    return o;
}

int PdfStandardFont::ascender() const
{
    return font_.descriptor().ascent;
}

int PdfStandardFont::descender() const
{
    return font_.descriptor().descent;
}

}  // namespace pdfengine
