// The boxes and rotation of an imported page, as they apply to it: inherited
// where the page has none of its own, crop, bleed, trim and art boxes clipped to
// the media box, the rotation a multiple of 90.
#pragma once

#include <optional>
#include <string_view>

#include "pdfengine/PageTree.h"
#include "pdfengine/PdfRect.h"

namespace pdfengine {

enum class PageBox { Media, Crop, Bleed, Trim, Art };

// The keyword of a box (media crop bleed trim art), compared without case.
std::optional<PageBox> pageBoxFromKeyword(std::string_view keyword);

struct PageGeometry {
    PdfRect media;
    PdfRect crop;
    PdfRect bleed;
    PdfRect trim;
    PdfRect art;
    int rotate = 0;  // clockwise on display: 0, 90, 180 or 270

    const PdfRect& box(PageBox which) const;

    // The size of a box as the page is displayed: width and height swap when the
    // page is turned by 90 or 270 degrees.
    double displayWidth(PageBox which) const;
    double displayHeight(PageBox which) const;

    // Reads a page's geometry. A missing or malformed media box is US Letter, as
    // viewers assume; a missing, malformed or disjoint crop box is the media box;
    // a missing bleed, trim or art box is the crop box. /Rotate is rounded to the
    // nearest multiple of 90 and taken modulo 360; anything but a number is 0.
    // Throws PdiError (BadPage) when the media box has no area; description names
    // the page in that message ("page 3 of PDF file 'x.pdf'").
    static PageGeometry of(const PageNode& page, const std::string& description);
};

}  // namespace pdfengine
