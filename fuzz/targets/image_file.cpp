// An image file from anyone (JPEG, PNG, GIF, TIFF), loaded by the type the input
// names and placed on a page as image blocks place images, with a fit method and
// box the input picks; the document ended in memory and its streams decoded by
// qpdf, which reads the samples back through the engine.
//
// Input: type byte, placement byte, the file.
#include <cstdio>

#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/Handle.h"

namespace fuzztargets {

namespace {

constexpr const char* types[] = {"auto", "jpeg", "png", "gif", "tiff"};

constexpr pdfengine::FitMethod fitMethods[] = {pdfengine::FitMethod::Meet, pdfengine::FitMethod::NoFit,
                                               pdfengine::FitMethod::Clip, pdfengine::FitMethod::Slice,
                                               pdfengine::FitMethod::Entire};

}  // namespace

int imageFile(const uint8_t* data, size_t size)
{
    InputReader input(data, size);
    const char* type = types[input.byte() % std::size(types)];
    const uint8_t placement = input.byte();
    const std::string path = scratchPath("image");
    writeBytes(path, input.rest());

    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    // Below 1.4 soft masks are left out, below 1.5 16-bit samples become 8-bit.
    PDF_begin_document(p, "", 0, (placement & 0x80) ? "compatibility=1.3" : "");
    PDF_begin_page_ext(p, 200, 200, "");
    const int image = PDF_load_image(p, type, path.c_str(), 0, "");
    if (image != -1) {
        const pdfengine::ImageFit fit{fitMethods[placement % std::size(fitMethods)],
                                      {(placement & 0x08) ? 0.0 : 50.0, (placement & 0x10) ? 100.0 : 50.0}};
        const pdfengine::PdfRect box =
            (placement & 0x20) ? pdfengine::PdfRect{10, 10, 11, 190} : pdfengine::PdfRect{20, 20, 180, 120};
        try {
            // Twice: the second placement reuses the image's XObject.
            for (int n = 0; n < 2; ++n)
                p->engine.images().place(p->engine.document(), image, box, fit);
        } catch (const pdfengine::EngineError&) {
            // An image whose size cannot be placed (no area) says so.
        }
        PDF_close_image(p, image);
    }
    finishAndReadBack(p);
    std::remove(path.c_str());
    return 0;
}

}  // namespace fuzztargets
