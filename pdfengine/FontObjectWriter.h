// Writes the objects of a font (FontObjects) into a qpdf document. Pages refer to
// a font long before the document ends and its subset is known, so the font
// dictionary can be made early (an empty indirect dictionary) and filled at the end.
#pragma once

#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "pdfengine/FontObjects.h"

namespace pdfengine {

class FontObjectWriter {
public:
    // A new indirect font dictionary.
    static QPDFObjectHandle write(QPDF& pdf, const FontObjects& font);
    // Fills an existing (indirect) dictionary with the font's keys.
    static void fill(QPDF& pdf, const FontObjects& font, QPDFObjectHandle dictionary);
};

}  // namespace pdfengine
