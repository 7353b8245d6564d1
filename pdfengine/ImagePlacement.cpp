#include "pdfengine/ImagePlacement.h"

#include <cmath>

#include "pdfengine/EngineError.h"
#include "pdfengine/FitScale.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/Page.h"

namespace pdfengine {

namespace {

// Matrices carry scale factors, so they get more decimals than coordinates.
constexpr int matrixDecimals = 6;

void writeMatrix(ContentBuilder& out, const QPDFMatrix& m)
{
    for (double value : {m.a, m.b, m.c, m.d, m.e, m.f})
        out.number(value, matrixDecimals);
    out.op("cm");
}

}  // namespace

ImagePlacement ImagePlacement::compute(double naturalWidth, double naturalHeight, const PdfRect& box,
                                       const ImageFit& fit)
{
    for (double value :
         {naturalWidth, naturalHeight, box.llx, box.lly, box.urx, box.ury, fit.position[0], fit.position[1]})
        requireFinite(value, "image placement");
    if (!(naturalWidth > 0 && naturalHeight > 0))
        throw EngineError(err::ArgumentOutOfRange, "An image to be placed has no size");
    if (box.empty())
        throw EngineError(err::ArgumentOutOfRange, "The box of an image placement has no area (" +
                                                       formatG(box.width()) + " x " + formatG(box.height()) +
                                                       ")");
    const auto [sx, sy] = fitScale(fit.fitMethod, box.width(), box.height(), naturalWidth, naturalHeight);
    const double w = naturalWidth * sx, h = naturalHeight * sy;
    ImagePlacement placement;
    placement.matrix_ = QPDFMatrix(w, 0, 0, h, box.llx + (box.width() - w) * fit.position[0] / 100.0,
                                   box.lly + (box.height() - h) * fit.position[1] / 100.0);
    if (fit.fitMethod == FitMethod::Clip)
        placement.clip_ = box;
    return placement;
}

void ImagePlacement::write(ContentBuilder& out, std::string_view resourceName, const QPDFMatrix* outer) const
{
    out.op("q");
    if (outer)
        writeMatrix(out, *outer);
    if (clip_) {
        out.number(clip_->llx).number(clip_->lly).number(clip_->width()).number(clip_->height()).op("re");
        out.op("W").op("n");
    }
    writeMatrix(out, matrix_);
    out.name(resourceName).op("Do");
    out.op("Q");
}

}  // namespace pdfengine
