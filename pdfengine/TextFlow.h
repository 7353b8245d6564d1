// A text that flows over several lines in a box, as text blocks with textflow
// show it: lines wrap at spaces, before and after CJK characters (except where
// Japanese line-breaking rules forbid it: no line begins with closing
// punctuation, a small kana or a prolonged sound mark, none ends with an opening
// bracket) and at line feeds; a word wider than the line is broken where it
// must. The font shrinks until the lines fit the box. Each line is then shown
// with TextWriter, its glyphs a range of the one mapped run.
#pragma once

#include <vector>

#include "pdfengine/GlyphRun.h"
#include "pdfengine/TextFit.h"
#include "pdfengine/TextState.h"

namespace pdfengine {

class TextFlow {
public:
    struct Line {
        GlyphRange glyphs;    // what the line shows: without the spaces it wrapped at or the line feed
        LineMeasure measure;  // of those glyphs
    };

    // Lines at most `width` points wide at the state's font size and spacings; a
    // line of one glyph may be wider. Spaces at the end of a line and where a line
    // wraps are dropped, as are CR, LF and CR LF, which end a line; a last line
    // feed adds no empty line.
    static std::vector<Line> breakLines(const GlyphRun& run, const TextState& state, double width);

    struct Box {
        double width = 0;
        double height = 0;
        int ascender = 880;  // of the font, 1/1000 em
        int descender = -120;
        double lineSpacing = 1.2;  // baseline to baseline, times the font size
        double minFontSize = 1;
    };

    struct Result {
        double fontSize = 0;
        std::vector<Line> lines;
        double lineHeight = 0;  // baseline to baseline, points
        bool fits = false;      // false: even minFontSize was too large
    };

    // The lines at the largest font size from the state's down to minFontSize at
    // which every line is as wide as the box at most and all of them, from the
    // first line's ascender to the last line's descender, as high at most.
    static Result fit(const GlyphRun& run, const TextState& state, const Box& box);

    // Whether a line may break between these two characters.
    static bool canBreakBetween(char32_t before, char32_t after);
};

}  // namespace pdfengine
