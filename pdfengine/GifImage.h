// GIF files, read with giflib when the build has it (QUILLON_HAVE_GIF): the
// first frame, at its own size, as an Indexed image of 8-bit indices; its
// transparent colour becomes a colour-key mask.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pdfengine/LoadedImage.h"

namespace pdfengine {

class GifImage {
public:
    static bool available();
    // Throws ImageError for data that is not a whole GIF image.
    static std::shared_ptr<LoadedImage> read(std::string_view bytes, const std::string& fileName);
};

}  // namespace pdfengine
