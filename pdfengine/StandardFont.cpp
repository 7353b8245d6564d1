#include "pdfengine/StandardFont.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "pdfengine/font_standard_table.h"

namespace pdfengine {

namespace {

// Number of the glyph of that name within [first, first + count), or -1. The
// by-name index is sorted by name and, among equal names, by number.
int glyphByName(std::string_view name, int first, int count)
{
    const uint16_t* begin = fontdata::kStandardGlyphsByName;
    const uint16_t* end = begin + fontdata::kStandardGlyphCount;
    auto nameOf = [](uint16_t glyph) { return std::string_view(fontdata::kStandardGlyphNames[glyph]); };
    const uint16_t* found = std::lower_bound(
        begin, end, name, [&](uint16_t glyph, std::string_view n) { return nameOf(glyph) < n; });
    for (; found != end && nameOf(*found) == name; ++found) {
        if (*found >= first && *found < first + count)
            return *found;
    }
    return -1;
}

}  // namespace

const StandardFont* StandardFont::find(std::string_view name)
{
    using fontdata::kStandardFonts;
    static const StandardFont all[fontdata::kStandardFontCount] = {
        StandardFont(&kStandardFonts[0]),  StandardFont(&kStandardFonts[1]),
        StandardFont(&kStandardFonts[2]),  StandardFont(&kStandardFonts[3]),
        StandardFont(&kStandardFonts[4]),  StandardFont(&kStandardFonts[5]),
        StandardFont(&kStandardFonts[6]),  StandardFont(&kStandardFonts[7]),
        StandardFont(&kStandardFonts[8]),  StandardFont(&kStandardFonts[9]),
        StandardFont(&kStandardFonts[10]), StandardFont(&kStandardFonts[11]),
        StandardFont(&kStandardFonts[12]), StandardFont(&kStandardFonts[13])};
    for (const StandardFont& font : all) {
        if (name == font.name())
            return &font;
    }
    return nullptr;
}

const char* StandardFont::name() const
{
    return record_->name;
}

bool StandardFont::symbolic() const
{
    return (record_->flags & FontDescriptor::kSymbolic) != 0;
}

const FontEncoding& StandardFont::builtinEncoding() const
{
    return *FontEncoding::find(fontdata::kEncodings[record_->builtinEncoding].name);
}

FontDescriptor StandardFont::descriptor() const
{
    FontDescriptor d;
    d.fontName = record_->name;
    d.flags = record_->flags;
    std::copy(record_->bbox, record_->bbox + 4, d.bbox);
    d.italicAngle = record_->italicAngle;
    d.ascent = record_->ascent;
    d.descent = record_->descent;
    d.capHeight = record_->capHeight;
    d.xHeight = record_->xHeight;
    d.stemV = record_->stemV;
    return d;
}

int StandardFont::widthOfNumber(int glyph) const
{
    if (glyph < record_->firstGlyph || glyph >= record_->firstGlyph + record_->glyphCount)
        return -1;
    return record_->widths[glyph - record_->firstGlyph];
}

int StandardFont::width(std::string_view glyphName) const
{
    return widthOfNumber(glyphByName(glyphName, record_->firstGlyph, record_->glyphCount));
}

int StandardFont::width(const FontEncoding& encoding, uint8_t code) const
{
    int glyph = encoding.glyphNumber(code);
    if (glyph < 0)
        return -1;
    int direct = widthOfNumber(glyph);
    // An encoding made for another group of fonts names glyphs this one may have too.
    return direct >= 0 ? direct : width(fontdata::kStandardGlyphNames[glyph]);
}

int StandardFont::notdefWidth() const
{
    return record_->notdefWidth;
}

}  // namespace pdfengine
