// JPEG files: libjpeg reads the header (size, components, colour transform,
// resolution) and the data is passed to PDF unchanged as DCTDecode. Baseline
// and progressive files with 1 (gray), 3 (RGB) or 4 (CMYK) components; CMYK
// written by Adobe software is inverted and gets /Decode [1 0 ...].
#pragma once

#include <memory>
#include <string>

#include "pdfengine/LoadedImage.h"

namespace pdfengine {

class JpegImage {
public:
    // Throws ImageError for data that is not a whole JPEG image PDF can carry
    // (12-bit, arithmetic coding, 2 components, truncated).
    static std::shared_ptr<LoadedImage> read(std::string bytes, const std::string& fileName);
};

}  // namespace pdfengine
