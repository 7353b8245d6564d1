// The graphics state of a page as the content stream has set it so far. Page
// keeps a stack of them (PDF_save/PDF_restore) and writes an operator only when
// a value changes; text drawing reads the colours from here too.
#pragma once

#include <vector>

#include "pdfengine/Color.h"
#include "pdfengine/TextState.h"

namespace pdfengine {

// PDF's initial values at the start of every page.
struct GraphicsState {
    double lineWidth = 1;
    int lineCap = 0;
    int lineJoin = 0;
    double miterLimit = 10;
    std::vector<double> dashArray;  // empty: solid
    double dashPhase = 0;
    Color fillColor;    // gray 0: black
    Color strokeColor;  // gray 0: black
    PageText text;
};

}  // namespace pdfengine
