// Helpers of the image tests: placing an image through the engine's internal
// placement (as image blocks will), and reading what poppler's pdfimages says
// about a PDF's images.
#pragma once

#include <string>
#include <vector>

#include "pdfengine/ImagePlacement.h"
#include "pdfengine/pdf_api.h"

namespace imagetest {

// One line of `pdfimages -list`: one drawing of an image (or of its soft mask).
struct ListedImage {
    int page = 0;
    std::string type;  // image, smask, stencil
    int width = 0;
    int height = 0;
    std::string color;  // gray, rgb, cmyk, index
    int components = 0;
    int bits = 0;
    std::string encoding;  // image (Flate and others), jpeg
    int object = 0;
};
std::vector<ListedImage> listImages(const std::string& pdf);

// Places an open image handle on the current page of p in the box.
void placeImage(PDF* p, int image, const pdfengine::PdfRect& box, const pdfengine::ImageFit& fit = {});

// Writes pdf: one page of width x height with a blue background (so that
// transparency shows) and the image file placed in box. Throws when the image
// does not load.
void writePlaced(const std::string& pdf, const std::string& imageFile, const pdfengine::PdfRect& box,
                 const pdfengine::ImageFit& fit = {}, const std::string& documentOptions = "",
                 double width = 100, double height = 100);

// An RGB PNG of one colour; dpi 0 leaves the resolution unstated.
std::string solidPng(int width, int height, unsigned long color, double dpi = 0);

// Whether two 0xRRGGBB colours differ by at most `tolerance` in each channel.
bool near(unsigned long a, unsigned long b, int tolerance = 24);
std::string hex(unsigned long color);

}  // namespace imagetest
