// Writes text into a page's content stream: one text object (BT ... ET) per line,
// with the text state operators whose values differ from what the content stream
// already has, the line's position and its glyphs. Word spacing is PDF's own for
// one-byte codes 32; for two-byte codes, where PDF ignores it, the spaces are
// widened by TJ adjustments instead.
#pragma once

#include <string>

#include "pdfengine/GlyphRun.h"
#include "pdfengine/Page.h"
#include "pdfengine/Qpdf.h"
#include "pdfengine/TextFit.h"
#include "pdfengine/TextState.h"

namespace pdfengine {

class TextWriter {
public:
    // Where the line's baseline starts, and a scale of the whole line (1 1: none).
    struct Origin {
        double x = 0;
        double y = 0;
        double scaleX = 1;
        double scaleY = 1;
    };

    // Shows glyphs `range` of `run` in `state` (its font is `fontDictionary`).
    static void show(Page& page, const QPDFObjectHandle& fontDictionary, const TextState& state,
                     const GlyphRun& run, GlyphRange range, const Origin& origin);
};

}  // namespace pdfengine
