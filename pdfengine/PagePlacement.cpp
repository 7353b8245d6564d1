#include "pdfengine/PagePlacement.h"

#include <algorithm>
#include <cmath>

#include "pdfengine/FitScale.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/PdiError.h"

namespace pdfengine {

namespace {

// first, then second (PDF matrices act on row vectors).
QPDFMatrix then(const QPDFMatrix& first, const QPDFMatrix& second)
{
    QPDFMatrix result = second;
    result.concat(first);
    return result;
}

// Counter-clockwise rotation, exact for multiples of 90 degrees.
QPDFMatrix rotation(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0)
        d += 360;
    double c, s;
    if (d == 0) {
        c = 1, s = 0;
    } else if (d == 90) {
        c = 0, s = 1;
    } else if (d == 180) {
        c = -1, s = 0;
    } else if (d == 270) {
        c = 0, s = -1;
    } else {
        double r = d * M_PI / 180.0;
        c = std::cos(r), s = std::sin(r);
    }
    return QPDFMatrix(c, s, -s, c, 0, 0);
}

// Maps the box to [0 W] x [0 H] as the page is displayed, turned clockwise by
// its /Rotate.
QPDFMatrix upright(const PdfRect& b, int rotate)
{
    switch (rotate) {
        case 90:
            return QPDFMatrix(0, -1, 1, 0, -b.lly, b.urx);
        case 180:
            return QPDFMatrix(-1, 0, 0, -1, b.urx, b.ury);
        case 270:
            return QPDFMatrix(0, 1, -1, 0, b.ury, -b.llx);
        default:
            return QPDFMatrix(1, 0, 0, 1, -b.llx, -b.lly);
    }
}

// Turns [0 W] x [0 H] so that its top points the given way, keeping it in the
// positive quadrant.
QPDFMatrix orientation(Orientation o, double w, double h)
{
    switch (o) {
        case Orientation::West:
            return QPDFMatrix(0, 1, -1, 0, h, 0);
        case Orientation::South:
            return QPDFMatrix(-1, 0, 0, -1, w, h);
        case Orientation::East:
            return QPDFMatrix(0, -1, 1, 0, 0, w);
        case Orientation::North:
            break;
    }
    return QPDFMatrix();
}

void requireFinite(double value, const char* what)
{
    if (!std::isfinite(value))
        throw PdiError(PdiErrorKind::BadValue,
                       std::string("The ") + what + " of a page placement is not finite");
}

// Matrices keep six decimals: a page turned by an odd angle must not drift
// by more than a millionth of a point per unit.
constexpr int matrixDecimals = 6;

void writeMatrix(ContentBuilder& out, const QPDFMatrix& m)
{
    for (double v : {m.a, m.b, m.c, m.d, m.e, m.f})
        out.number(v, matrixDecimals);
    out.op("cm");
}

void writeClip(ContentBuilder& out, double x, double y, double w, double h)
{
    for (double v : {x, y, w, h})
        out.number(v, matrixDecimals);
    out.op("re W n");
}

}  // namespace

PagePlacement PagePlacement::compute(const PageGeometry& page, PageBox which, double x, double y,
                                     const PlacementOptions& o)
{
    requireFinite(x, "x coordinate");
    requireFinite(y, "y coordinate");
    requireFinite(o.rotate, "rotation");
    for (double p : o.position)
        requireFinite(p, "position");
    for (double s : o.scale)
        if (!(std::isfinite(s) && s > 0))
            throw PdiError(PdiErrorKind::BadValue,
                           "The scale of a page placement must be above 0 (" + shortestNumber(s) + ")");
    for (double b : {o.boxWidth, o.boxHeight})
        if (!(std::isfinite(b) && b >= 0))
            throw PdiError(PdiErrorKind::BadValue, "The box size of a page placement must not be negative (" +
                                                       shortestNumber(b) + ")");

    const PdfRect& box = page.box(which);
    double w = page.displayWidth(which);
    double h = page.displayHeight(which);
    QPDFMatrix m = upright(box, page.rotate);
    m = then(m, orientation(o.orientate, w, h));
    if (o.orientate == Orientation::East || o.orientate == Orientation::West)
        std::swap(w, h);

    bool haveBox = o.boxWidth > 0 && o.boxHeight > 0;
    auto [sx, sy] = haveBox ? fitScale(o.fitMethod, o.boxWidth, o.boxHeight, w, h, o.scale) : o.scale;
    double pw = w * sx, ph = h * sy;
    // The position names the point of the placed page that goes to the same
    // point of the box, or to the reference point when there is no box.
    double spaceW = haveBox ? o.boxWidth - pw : -pw;
    double spaceH = haveBox ? o.boxHeight - ph : -ph;
    double tx = spaceW * o.position[0] / 100.0, ty = spaceH * o.position[1] / 100.0;
    m = then(m, QPDFMatrix(sx, 0, 0, sy, tx, ty));

    PagePlacement result;
    result.inner_ = m;
    QPDFMatrix turn = rotation(o.rotate);
    if (o.adjustPage) {
        QPDFObjectHandle::Rectangle placed = haveBox
                                                 ? QPDFObjectHandle::Rectangle(0, 0, o.boxWidth, o.boxHeight)
                                                 : QPDFObjectHandle::Rectangle(tx, ty, tx + pw, ty + ph);
        QPDFObjectHandle::Rectangle bounds = turn.transformRectangle(placed);
        result.frame_ = then(turn, QPDFMatrix(1, 0, 0, 1, -bounds.llx, -bounds.lly));
        result.pageSize_ = std::make_pair(bounds.urx - bounds.llx, bounds.ury - bounds.lly);
    } else {
        result.frame_ = then(turn, QPDFMatrix(1, 0, 0, 1, x, y));
    }
    if (haveBox && o.fitMethod == FitMethod::Clip)
        result.clipBox_ = std::array<double, 2>{o.boxWidth, o.boxHeight};
    if (box != page.media)
        result.pageClip_ = box;
    return result;
}

QPDFMatrix PagePlacement::matrix() const
{
    return then(inner_, frame_);
}

void PagePlacement::write(ContentBuilder& out, std::string_view xobjectName) const
{
    out.op("q");
    if (clipBox_) {
        writeMatrix(out, frame_);
        writeClip(out, 0, 0, (*clipBox_)[0], (*clipBox_)[1]);
        writeMatrix(out, inner_);
    } else {
        writeMatrix(out, matrix());
    }
    if (pageClip_)
        writeClip(out, pageClip_->llx, pageClip_->lly, pageClip_->width(), pageClip_->height());
    if (xobjectName.starts_with('/'))
        xobjectName.remove_prefix(1);
    out.name(xobjectName).op("Do").op("Q");
}

std::string PagePlacement::content(std::string_view xobjectName) const
{
    ContentBuilder out;
    write(out, xobjectName);
    return out.take();
}

}  // namespace pdfengine
