// The image XObject of a loaded image in an output document. The samples are
// not copied into qpdf: the stream reads them from the shared LoadedImage when
// the file is written, so the image is held in memory once.
#pragma once

#include <memory>

#include "pdfengine/LoadedImage.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

class ImageXObject {
public:
    // An indirect image XObject of pdf, with its soft mask, for a document of
    // PDF version `version` (17 for 1.7): below 1.5 16-bit samples are reduced
    // to 8 bits, below 1.4 a soft mask is left out (the image is opaque).
    static QPDFObjectHandle make(QPDF& pdf, const std::shared_ptr<const LoadedImage>& image, int version);
};

}  // namespace pdfengine
