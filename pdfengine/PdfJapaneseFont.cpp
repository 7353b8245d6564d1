#include "pdfengine/PdfJapaneseFont.h"

#include "pdfengine/FontError.h"
#include "pdfengine/ToUnicodeCMap.h"
#include "platform/cp932.h"

namespace pdfengine {

PdfJapaneseFont::PdfJapaneseFont(const CidStandardFont& font, const CidCMap& cmap) : font_(font), cmap_(cmap)
{
}

char32_t PdfJapaneseFont::unicodeOf(uint32_t code) const
{
    // The Shift-JIS CMaps are Microsoft's code page 932, whose characters the
    // platform's tables know exactly as Windows decodes them.
    if (!cmap_.unicodeCodes()) {
        int unicode = platform::cp932DecodeCode(code);
        return unicode > 0 ? static_cast<char32_t>(unicode) : 0;
    }
    if (code > 0xFFFF)
        return 0x10000 + (((code >> 16) - 0xD800) << 10) + ((code & 0xFFFF) - 0xDC00);
    return code;
}

GlyphRun::Glyph PdfJapaneseFont::glyphOf(const CidCMap::Code& code) const
{
    GlyphRun::Glyph g;
    g.unicode = unicodeOf(code.code);
    if (code.mapped) {
        g.code = code.code;
        g.codeLength = code.length;
        g.glyph = code.cid;
    } else {
        g.missing = true;
        g.code = cmap_.notdefCode();
        g.codeLength = cmap_.codeLength(g.code);
        g.glyph = 0;
    }
    g.width = font_.width(static_cast<uint16_t>(g.glyph));
    return g;
}

GlyphRun PdfJapaneseFont::mapBytes(std::string_view bytes) const
{
    GlyphRun run;
    run.reserve(bytes.size());
    for (size_t pos = 0; pos < bytes.size();) {
        CidCMap::Code code = cmap_.next(bytes, pos);
        pos += code.length;
        GlyphRun::Glyph g = glyphOf(code);
        run.add(g);
    }
    return run;
}

std::optional<uint32_t> PdfJapaneseFont::codeFor(char32_t c) const
{
    if (cmap_.unicodeCodes())
        return cmap_.codeFor(c);
    int code = platform::cp932Encode(c, false);
    if (code < 0)
        return std::nullopt;
    return static_cast<uint32_t>(code);
}

GlyphRun PdfJapaneseFont::mapUnicode(std::u32string_view text) const
{
    GlyphRun run;
    run.reserve(text.size());
    for (char32_t c : text) {
        GlyphRun::Glyph g;
        g.unicode = c;
        std::optional<uint16_t> cid;
        if (std::optional<uint32_t> code = codeFor(c)) {
            cid = cmap_.cid(*code);
            g.code = *code;
        }
        if (!cid) {
            g.missing = true;
            g.code = cmap_.notdefCode();
        }
        g.codeLength = cmap_.codeLength(g.code);
        g.glyph = cid.value_or(0);
        g.width = font_.width(static_cast<uint16_t>(g.glyph));
        run.add(g);
    }
    return run;
}

void PdfJapaneseFont::use(const GlyphRun& run)
{
    for (const GlyphRun::Glyph& g : run.glyphs) {
        bool twoByte = g.code <= 0xFFFF;
        if (twoByte && seen_[g.code])
            continue;
        widths_.try_emplace(static_cast<uint16_t>(g.glyph), g.width);
        if (!g.missing && g.unicode)
            text_.try_emplace(g.code, g.unicode);
        if (twoByte && (g.missing || g.unicode))
            seen_[g.code] = true;
    }
}

FontObjects PdfJapaneseFont::objects() const
{
    FontObjects o;
    o.kind = FontObjects::Kind::Type0;
    o.baseFont = std::string(font_.name()) + "-" + cmap_.name();
    o.encodingName = cmap_.name();
    o.cidFontType = "CIDFontType0";
    o.cidBaseFont = font_.name();
    o.registry = CidStandardFont::kRegistry;
    o.ordering = CidStandardFont::kOrdering;
    o.supplement = cmap_.supplement();
    o.defaultWidth = 1000;
    std::map<uint32_t, int> widths(widths_.begin(), widths_.end());
    o.cidWidths = CidWidthArray::build(widths, o.defaultWidth);
    o.descriptor = font_.descriptor();
    // Readers know the text of these CMaps' codes only through the collection's
    // CID -> Unicode table, which turns some characters into look-alikes (~ into
    // U+02DC, a dash into a combining stroke, the NEC and IBM characters of code
    // page 932 into others): a ToUnicode map keeps them exact. Poppler reads no
    // ToUnicode code longer than two bytes, so the four-byte codes of surrogate
    // pairs (UniJIS-UTF16-H) are left out: TextWriter marks texts with such
    // characters with their ActualText instead.
    if (!text_.empty()) {
        ToUnicodeCMap toUnicode = cmap_.unicodeCodes() ? ToUnicodeCMap() : ToUnicodeCMap::shiftJis();
        for (const auto& [code, character] : text_) {
            if (code <= 0xFFFF)
                toUnicode.add(code, std::u32string(1, character));
        }
        o.toUnicode = toUnicode.build();
    }
    return o;
}

}  // namespace pdfengine
