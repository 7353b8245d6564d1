// Writes the objects of a font (FontObjects) into a qpdf document. Pages refer to
// a font long before the document ends and its subset is known, so the font
// dictionary can be made early (an empty indirect dictionary) and filled at the end.
#pragma once

#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "pdfengine/Deflater.h"
#include "pdfengine/FontObjects.h"

namespace pdfengine {

class FontObjectWriter {
public:
    // A new indirect font dictionary. Its streams (font program, ToUnicode map)
    // are compressed by `deflater`, the document's compressor, or at a higher
    // level when large.
    static QPDFObjectHandle write(QPDF& pdf, const FontObjects& font, Deflater& deflater);
    // Fills an existing (indirect) dictionary with the font's keys.
    static void fill(QPDF& pdf, const FontObjects& font, QPDFObjectHandle dictionary, Deflater& deflater);
};

}  // namespace pdfengine
