// A rectangle in PDF user space, always held with llx <= urx and lly <= ury.
#pragma once

#include <optional>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

struct PdfRect {
    double llx = 0;
    double lly = 0;
    double urx = 0;
    double ury = 0;

    double width() const { return urx - llx; }
    double height() const { return ury - lly; }
    bool empty() const { return !(width() > 0 && height() > 0); }
    bool operator==(const PdfRect&) const = default;

    // The rectangle from two corners in any order.
    static PdfRect fromCorners(double x1, double y1, double x2, double y2);
    // An array of four finite numbers (a PDF rectangle, corners in any order);
    // nothing for anything else.
    static std::optional<PdfRect> fromObject(QPDFObjectHandle array);
    // The common part of both; an empty rectangle when they do not overlap.
    PdfRect intersect(const PdfRect& other) const;
    // As a PDF array [llx lly urx ury].
    QPDFObjectHandle toObject() const;
};

}  // namespace pdfengine
