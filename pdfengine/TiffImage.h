// TIFF files, read with libtiff when the build has it (QUILLON_HAVE_TIFF): the
// first image of the file, strips or tiles, through libtiff's RGBA interface in
// bands of rows. Gray images stay gray, everything else becomes 8-bit RGB; an
// alpha channel becomes a soft mask.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pdfengine/LoadedImage.h"

namespace pdfengine {

class TiffImage {
public:
    static bool available();
    // Throws ImageError for data that is not a whole TIFF image.
    static std::shared_ptr<LoadedImage> read(std::string_view bytes, const std::string& fileName);
};

}  // namespace pdfengine
