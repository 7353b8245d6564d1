// Where a placed image goes: the image's unit square mapped into a box of the
// page by a fit method and a position, as image blocks are filled.
//
// nofit: natural size (one point per pixel, or the file's resolution);
// clip: natural size, clipped to the box; meet and auto: as large as fits
// whole, keeping proportions; slice: as small as covers the box, keeping
// proportions (what lies outside stays visible); entire: stretched to the box.
// position {h v} (percent) aligns the same point of image and box: {0 0} the
// lower left corners, {50 50} the centres.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "pdfengine/ContentBuilder.h"
#include "pdfengine/FitKeywords.h"
#include "pdfengine/PdfRect.h"
#include "pdfengine/Qpdf.h"

#include <qpdf/QPDFMatrix.hh>

namespace pdfengine {

struct ImageFit {
    FitMethod fitMethod = FitMethod::Meet;
    std::array<double, 2> position{50, 50};
};

class ImagePlacement {
public:
    // Throws EngineError (5004) for a box without area or an image without a
    // size, and (5002) for values that are not finite.
    static ImagePlacement compute(double naturalWidth, double naturalHeight, const PdfRect& box,
                                  const ImageFit& fit);

    // From the image's unit square to the box's space.
    const QPDFMatrix& matrix() const { return matrix_; }
    // The box, for fitmethod clip.
    const std::optional<PdfRect>& clip() const { return clip_; }

    // Appends "q [outer cm] [clip] matrix cm /Name Do Q". `outer`, when given,
    // maps the box's space to the page (an imported page's placement).
    void write(ContentBuilder& out, std::string_view resourceName, const QPDFMatrix* outer = nullptr) const;

private:
    QPDFMatrix matrix_;
    std::optional<PdfRect> clip_;
};

}  // namespace pdfengine
