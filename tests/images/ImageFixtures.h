// Test images written by the tests themselves, through the same libraries the
// engine reads them with, so that no binary fixture is kept in the tree.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace imagetest {

// The value of channel c (0-based) of the pixel at (x, y), row 0 at the top,
// in the sample range of the image (0-255, 0-65535, palette indices...).
using PixelFunction = std::function<unsigned(int x, int y, int c)>;

struct PngSpec {
    int width = 8;
    int height = 8;
    int colorType = 2;  // PNG_COLOR_TYPE_*: 0 gray, 2 RGB, 3 palette, 4 gray+alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    PixelFunction pixel;
    std::vector<unsigned char> palette;       // RGB triples, for palette images
    std::vector<unsigned char> paletteAlpha;  // tRNS of a palette image
    std::vector<unsigned> transparentColor;   // tRNS of a gray (1 value) or RGB (3) image
    double dpi = 0;                           // pHYs, when above 0
};
std::string pngBytes(const PngSpec& spec);

struct JpegSpec {
    int width = 16;
    int height = 16;
    int components = 3;  // 1 gray, 3 RGB (YCbCr), 4 CMYK
    bool progressive = false;
    bool rgbWithoutTransform = false;  // 3 components stored as RGB, no Adobe marker
    PixelFunction pixel;               // samples as stored (CMYK: as written, inverted or not)
    int dpi = 0;                       // JFIF density, when above 0
};
std::string jpegBytes(const JpegSpec& spec);

struct GifSpec {
    int width = 8;
    int height = 8;
    bool interlaced = false;
    std::vector<unsigned char> palette;  // RGB triples; 2, 4, ... 256 entries
    int transparentIndex = -1;
    PixelFunction pixel;  // the index
    int frames = 1;       // later frames are filled with index 0
};
std::string gifBytes(const GifSpec& spec);

struct TiffSpec {
    int width = 8;
    int height = 8;
    int samples = 3;  // 1 gray, 3 RGB, 4 RGBA (unassociated alpha)
    bool tiled = false;
    PixelFunction pixel;
    double dpi = 0;
};
// libtiff writes files, not memory.
void writeTiff(const std::string& path, const TiffSpec& spec);

// Images that claim any size, for the limits. A PNG of a signature, an IHDR
// chunk, a short IDAT and IEND (valid CRCs, too little data); a JPEG whose
// SOF0 says width and height but whose data is that of a small image.
std::string pngHeaderOnly(unsigned width, unsigned height, int colorType, int bitDepth, bool interlaced);
std::string jpegClaimingSize(unsigned width, unsigned height);

}  // namespace imagetest
