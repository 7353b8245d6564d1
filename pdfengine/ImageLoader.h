// Reads an image file's bytes into a LoadedImage. The format is found from the
// bytes (JPEG, PNG, GIF, TIFF), never from the name; each format has its own
// reader (JpegImage, PngImage, GifImage, TiffImage).
//
// Hostile files give an ImageError, never a crash, a hang or a huge allocation:
// the limits below bound what an image may ask for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pdfengine/ImageError.h"
#include "pdfengine/LoadedImage.h"

namespace pdfengine {

struct ImageLimits {
    // Width times height.
    static constexpr uint64_t maxPixels = 100'000'000;
    // The size of an image file read into memory.
    static constexpr uint64_t maxFileBytes = 256ull << 20;
    // Decoded samples a reader may hold at once (an interlaced PNG, a GIF).
    static constexpr uint64_t maxBufferBytes = 256ull << 20;
};

class ImageLoader {
public:
    // The format of the bytes, or nothing when they are none of the four.
    static std::optional<ImageFormat> detect(std::string_view bytes);

    // Whether this build reads the format (GIF and TIFF need their libraries).
    static bool supported(ImageFormat format);

    // Decodes bytes, the content of the file `fileName` (named in messages).
    // With `requested`, the bytes must be of that format. Throws ImageError.
    static std::shared_ptr<LoadedImage> load(std::string bytes, const std::string& fileName,
                                             std::optional<ImageFormat> requested);
};

// Helpers of the readers.

// "Image file 'x.png' is damaged (detail)".
ImageError damagedImage(const std::string& fileName, const std::string& detail);

// "Image file 'x.png' is a JPEG image, not PNG".
ImageError typeMismatch(const std::string& fileName, ImageFormat actual, ImageFormat requested);

// "Image file 'x.gif' is a GIF image, which this build cannot read".
ImageError unreadableFormat(const std::string& fileName, ImageFormat format);

// Throws ImageError for an image without pixels (Damaged) or beyond maxPixels
// (TooLarge).
void checkImageSize(uint64_t width, uint64_t height, const std::string& fileName);

// Throws ImageError (TooLarge) when a buffer of `bytes` would pass maxBufferBytes.
void checkBufferSize(uint64_t bytes, const std::string& fileName);

}  // namespace pdfengine
