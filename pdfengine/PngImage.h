// PNG files, read with libpng: every colour type and bit depth, interlaced or
// not. Gray, RGB and palette samples are kept as they are (palette images
// become Indexed); an alpha channel or a tRNS chunk becomes a soft mask, left
// out when every pixel is opaque. Gamma and colour profiles are ignored.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pdfengine/LoadedImage.h"

namespace pdfengine {

class PngImage {
public:
    // Throws ImageError for data that is not a whole PNG image.
    static std::shared_ptr<LoadedImage> read(std::string_view bytes, const std::string& fileName);
};

}  // namespace pdfengine
