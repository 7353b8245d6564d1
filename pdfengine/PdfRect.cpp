#include "pdfengine/PdfRect.h"

#include <algorithm>
#include <cmath>

namespace pdfengine {

PdfRect PdfRect::fromCorners(double x1, double y1, double x2, double y2)
{
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

std::optional<PdfRect> PdfRect::fromObject(QPDFObjectHandle array)
{
    if (!array.isArray() || array.getArrayNItems() != 4)
        return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        QPDFObjectHandle item = array.getArrayItem(i);
        if (!item.isNumber())
            return std::nullopt;
        v[i] = item.getNumericValue();
        if (!std::isfinite(v[i]))
            return std::nullopt;
    }
    return fromCorners(v[0], v[1], v[2], v[3]);
}

PdfRect PdfRect::intersect(const PdfRect& other) const
{
    PdfRect r{std::max(llx, other.llx), std::max(lly, other.lly), std::min(urx, other.urx),
              std::min(ury, other.ury)};
    if (r.empty())
        return {};
    return r;
}

QPDFObjectHandle PdfRect::toObject() const
{
    return QPDFObjectHandle::newFromRectangle(QPDFObjectHandle::Rectangle(llx, lly, urx, ury));
}

}  // namespace pdfengine
