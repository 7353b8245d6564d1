// The geometry of one line of text: how wide it is in a text state, and where
// and how large it goes when it is placed at a reference point or fitted into a
// box (PDF_fit_textline, and the text blocks filled the same way). Pure
// arithmetic on measured runs; TextWriter writes the result.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "pdfengine/FitKeywords.h"
#include "pdfengine/GlyphRun.h"
#include "pdfengine/TextState.h"

namespace pdfengine {

// Glyphs [begin, end) of a run.
struct GlyphRange {
    size_t begin = 0;
    size_t end = 0;
};

// What the width of a line depends on besides the text state.
struct LineMeasure {
    double advances = 0;  // the glyphs' advances, 1/1000 em
    int glyphs = 0;       // each gets the character spacing
    int spaces = 0;       // each gets the word spacing

    static LineMeasure of(const GlyphRun& run, GlyphRange range);
    // A whole run, from the sums the run kept while it was built.
    static LineMeasure of(const GlyphRun& run);
    void add(const GlyphRun::Glyph& g);

    // Width in points at a font size and the state's spacings and scaling, from
    // the start of the first glyph to the end of the last: without the character
    // spacing after it, so that right-aligned and centred text lines up with what
    // is visible.
    double width(const TextState& state, double fontSize) const;
    double width(const TextState& state) const { return width(state, state.fontSize); }
    // How far showing the glyphs moves the text position: the width and the
    // character spacing after the last glyph, as PDF moves it.
    double advance(const TextState& state) const;
    // Character spacings within the line.
    int gaps() const { return glyphs > 0 ? glyphs - 1 : 0; }
};

// How a line is fitted into a box.
struct LineFitOptions {
    std::optional<std::array<double, 2>> boxSize;  // none: the line is placed at the reference point
    std::array<double, 2> position{0, 0};          // percent of the box and of the line's box
    std::array<double, 2> margin{0, 0};            // horizontal, vertical
    FitMethod method = FitMethod::NoFit;           // NoFit, Clip, Auto, Meet or Entire
    double shrinkLimit = 75;                       // percent of the horizontal scaling, for Auto
};

// Coordinates relative to the reference point, before any rotation.
struct LinePlacement {
    double fontSize = 0;
    double horizScaling = 100;  // percent
    double scaleX = 1;          // a further scale of the whole line (Meet, Entire, and
    double scaleY = 1;          // Auto when even the smallest font cannot fit)
    double x = 0;               // start of the baseline
    double y = 0;
    double width = 0;  // the line's box as placed
    double height = 0;
    // The box the line was fitted into (empty without boxSize), after the margins.
    double boxX = 0;
    double boxY = 0;
    double boxWidth = 0;
    double boxHeight = 0;
};

// ascender and descender (negative) of the font in 1/1000 em: the line's box is
// its width by their distance at the font size. A box given with a negative
// width or height extends from the reference point to the left or downwards,
// and the position is then measured from the reference point the same way (so
// position {0 0} in a box {100 -20} is its top left corner).
LinePlacement fitLine(const LineMeasure& measure, const TextState& state, int ascender, int descender,
                      const LineFitOptions& options);

}  // namespace pdfengine
