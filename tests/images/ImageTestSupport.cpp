#include "tests/images/ImageTestSupport.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "pdfengine/Handle.h"
#include "tests/images/ImageFixtures.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

namespace imagetest {

std::vector<ListedImage> listImages(const std::string& pdf)
{
    auto result = testsupport::run({"pdfimages", "-list", pdf});
    std::vector<ListedImage> images;
    std::istringstream lines(result.out);
    std::string line;
    // Two heading lines, then one line per image drawn.
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        ListedImage image;
        int number = 0;
        std::string interpolate;
        fields >> image.page >> number >> image.type >> image.width >> image.height >> image.color >>
            image.components >> image.bits >> image.encoding >> interpolate >> image.object;
        if (fields)
            images.push_back(image);
    }
    return images;
}

void placeImage(PDF* p, int image, const pdfengine::PdfRect& box, const pdfengine::ImageFit& fit)
{
    p->engine.images().place(p->engine.document(), image, box, fit);
}

void writePlaced(const std::string& pdf, const std::string& imageFile, const pdfengine::PdfRect& box,
                 const pdfengine::ImageFit& fit, const std::string& documentOptions, double width,
                 double height)
{
    enginetest::Handle p;
    PDF_begin_document(p, pdf.c_str(), 0, documentOptions.c_str());
    PDF_begin_page_ext(p, width, height, "");
    PDF_setcolor(p, "fill", "rgb", 0, 0, 1, 0);
    PDF_rect(p, 0, 0, width, height);
    PDF_fill(p);
    const int image = PDF_load_image(p, "auto", imageFile.c_str(), 0, "");
    if (image == -1)
        throw std::runtime_error(std::string("image did not load: ") + PDF_get_errmsg(p));
    placeImage(p, image, box, fit);
    PDF_close_image(p, image);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
}

std::string solidPng(int width, int height, unsigned long color, double dpi)
{
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.dpi = dpi;
    spec.pixel = [color](int, int, int c) { return static_cast<unsigned>(color >> (16 - 8 * c)) & 0xFF; };
    return pngBytes(spec);
}

bool near(unsigned long a, unsigned long b, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > tolerance)
            return false;
    }
    return true;
}

std::string hex(unsigned long color)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", color);
    return text;
}

}  // namespace imagetest
