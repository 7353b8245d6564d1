// Writes the objects of a font (FontObjects) into a qpdf document and returns the
// indirect font dictionary, ready to go into a page's /Font resources.
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
    static QPDFObjectHandle write(QPDF& pdf, const FontObjects& font);
};

}  // namespace pdfengine
