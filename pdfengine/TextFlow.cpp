#include "pdfengine/TextFlow.h"

#include <algorithm>
#include <string_view>

namespace pdfengine {

namespace {

bool isSpace(char32_t c)
{
    return c == U' ' || c == 0x3000;
}

bool isLineEnd(char32_t c)
{
    return c == U'\n' || c == U'\r';
}

bool isCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Characters a line must not begin with.
bool noLineStart(char32_t c)
{
    static constexpr std::u32string_view closing =
        U"、。，．・：；？！゛゜ヽヾゝゞ々〻ー）］｝」』】〕〉》〙〗〟’”｠»‐–—…‥〜～"
        U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ"
        U"ｧｨｩｪｫｬｭｮｯｰ､｡｣ﾞﾟ"
        U")]},.:;!?%";
    return closing.find(c) != std::u32string_view::npos || (c >= 0x31F0 && c <= 0x31FF);
}

// Characters a line must not end with.
bool noLineEnd(char32_t c)
{
    static constexpr std::u32string_view opening = U"（［｛「『【〔〈《〘〖〝‘“｟«｢([{";
    return opening.find(c) != std::u32string_view::npos;
}

}  // namespace

bool TextFlow::canBreakBetween(char32_t before, char32_t after)
{
    if (isSpace(after))
        return false;  // spaces stay at the end of the line they follow
    if (isSpace(before))
        return true;
    if (noLineStart(after) || noLineEnd(before))
        return false;
    return isCjk(before) || isCjk(after);
}

std::vector<TextFlow::Line> TextFlow::breakLines(const GlyphRun& run, const TextState& state, double width)
{
    std::vector<Line> lines;
    const std::vector<GlyphRun::Glyph>& glyphs = run.glyphs;
    const size_t count = glyphs.size();
    size_t start = 0;
    while (start < count) {
        LineMeasure all;       // glyphs [start, i]
        LineMeasure trailing;  // the spaces at the end of them
        size_t lastBreak = start;
        size_t i = start;
        size_t end = count;   // where the line ends
        size_t next = count;  // where the next one begins
        bool wrapped = false;
        for (; i < count; ++i) {
            const GlyphRun::Glyph& g = glyphs[i];
            if (isLineEnd(g.unicode)) {
                end = i;
                next = i + 1;
                if (g.unicode == U'\r' && next < count && glyphs[next].unicode == U'\n')
                    ++next;
                break;
            }
            if (i > start && canBreakBetween(glyphs[i - 1].unicode, g.unicode))
                lastBreak = i;
            all.add(g);
            if (isSpace(g.unicode))
                trailing.add(g);
            else
                trailing = LineMeasure();
            LineMeasure content = all;
            content.advances -= trailing.advances;
            content.glyphs -= trailing.glyphs;
            content.spaces -= trailing.spaces;
            if (i > start && content.width(state) > width) {
                end = next = lastBreak > start ? lastBreak : i;
                wrapped = true;
                break;
            }
        }
        // Spaces at the end of a line are left out, and so are those a line
        // wrapped at at the next line's start.
        size_t shown = end;
        while (shown > start && isSpace(glyphs[shown - 1].unicode))
            --shown;
        lines.push_back({{start, shown}, LineMeasure::of(run, {start, shown})});
        if (wrapped) {
            while (next < count && isSpace(glyphs[next].unicode))
                ++next;
        }
        start = next;
    }
    return lines;
}

TextFlow::Result TextFlow::fit(const GlyphRun& run, const TextState& state, const Box& box)
{
    auto attempt = [&](double size) {
        TextState s = state;
        s.fontSize = size;
        Result r;
        r.fontSize = size;
        r.lines = breakLines(run, s, box.width);
        r.lineHeight = size * box.lineSpacing;
        double height = 0;
        if (!r.lines.empty())
            height = (r.lines.size() - 1) * r.lineHeight + (box.ascender - box.descender) / 1000.0 * size;
        double widest = 0;
        for (const Line& line : r.lines)
            widest = std::max(widest, line.measure.width(s));
        r.fits = height <= box.height && widest <= box.width;
        return r;
    };
    Result best = attempt(state.fontSize);
    if (best.fits || state.fontSize <= box.minFontSize)
        return best;
    Result smallest = attempt(box.minFontSize);
    if (!smallest.fits)
        return smallest;
    // Between a size that fits and one that does not, to a hundredth of a point.
    double low = box.minFontSize;
    double high = state.fontSize;
    best = smallest;
    while (high - low > 0.01) {
        double middle = (low + high) / 2;
        Result r = attempt(middle);
        if (r.fits) {
            low = middle;
            best = std::move(r);
        } else {
            high = middle;
        }
    }
    return best;
}

}  // namespace pdfengine
