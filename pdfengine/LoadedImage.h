// An image as the readers leave it: its samples already in the form a PDF image
// XObject carries them (compressed, with the colour space, filter and masks that
// describe them), so that making the XObject only copies. Immutable once made;
// shared by every handle and document that uses the same file content.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pdfengine {

enum class ImageFormat { Jpeg, Png, Gif, Tiff };

enum class ImageColorSpace { Gray, Rgb, Cmyk, Indexed };

enum class ImageFilter {
    Flate,  // samples compressed with zlib
    Dct,    // a JPEG file's data, unchanged
};

struct LoadedImage {
    ImageFormat format = ImageFormat::Png;
    int width = 0;
    int height = 0;
    int bitsPerComponent = 8;  // 1, 2, 4, 8 or 16
    ImageColorSpace colorSpace = ImageColorSpace::Gray;
    // Indexed images: the palette's base space (Gray or Rgb) and its entries,
    // one byte per component, at most 256 entries.
    ImageColorSpace paletteBase = ImageColorSpace::Rgb;
    std::string palette;
    ImageFilter filter = ImageFilter::Flate;
    std::string data;
    // /Decode, when the samples mean other than the default (inverted CMYK).
    std::vector<double> decode;
    // The /ColorTransform of DCT data, when it must be given (RGB JPEGs that
    // a reader would otherwise take for YCbCr).
    std::optional<int> colorTransform;
    // Flate data whose rows carry PNG predictors (a PNG file's own image
    // data): /DecodeParms << /Predictor 15 /Colors /BitsPerComponent /Columns >>.
    bool pngPredictors = false;
    // A colour-key mask: min and max of each component (for Indexed, of the
    // index) of the samples that are not painted.
    std::vector<int> colorKeyMask;
    // Transparency as a soft mask: a DeviceGray image of the same size.
    std::shared_ptr<const LoadedImage> softMask;
    // Resolution in dots per inch when the file states it, else 0.
    double dpiX = 0;
    double dpiY = 0;

    // The size in points when the image is placed without scaling: one point
    // per pixel unless the file states its resolution.
    double naturalWidth() const { return dpiX > 0 ? width * 72.0 / dpiX : width; }
    double naturalHeight() const { return dpiY > 0 ? height * 72.0 / dpiY : height; }
};

// "JPEG", "PNG", "GIF", "TIFF".
const char* imageFormatName(ImageFormat format);

}  // namespace pdfengine
