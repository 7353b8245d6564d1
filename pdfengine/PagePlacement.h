// Where an imported page goes on an output page: the transformation from the
// imported page's user space to the output page, the content-stream operators
// that draw its form XObject there, and the output page size that adjustpage
// asks for.
//
// The chosen box of the imported page is first turned upright by its /Rotate,
// then turned by orientate, scaled and positioned (in the box of boxsize when
// one is given, by fitmethod and position), then rotated by `rotate` degrees
// counter-clockwise about the reference point (x, y). pdfengine/README.md
// describes the options.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "pdfengine/ContentBuilder.h"
#include "pdfengine/FitKeywords.h"
#include "pdfengine/PageGeometry.h"

namespace pdfengine {

struct PlacementOptions {
    // The output page takes the size of what is placed, and what is placed is
    // moved so that its lower left corner is the origin; x and y are ignored.
    bool adjustPage = false;
    // boxsize {w h}; a box is used only when both are above 0.
    double boxWidth = 0;
    double boxHeight = 0;
    FitMethod fitMethod = FitMethod::NoFit;
    // position {h v}, percent (keywords are turned into numbers by positionFromItems).
    std::array<double, 2> position{0, 0};
    // Horizontal and vertical factor, above 0; used by nofit and clip, and
    // without a box.
    std::array<double, 2> scale{1, 1};
    double rotate = 0;  // degrees, counter-clockwise
    Orientation orientate = Orientation::North;
};

class PagePlacement {
public:
    // Throws PdiError (BadValue) for a factor of scale not above 0, a negative
    // box size, or a value that is not finite.
    static PagePlacement compute(const PageGeometry& page, PageBox box, double x, double y,
                                 const PlacementOptions& options);

    // From the imported page's user space to the output page's.
    QPDFMatrix matrix() const;

    // With adjustpage: the width and height the output page must take.
    std::optional<std::pair<double, double>> pageSize() const { return pageSize_; }

    // Appends "q ... cm ... /Name Do Q" with the XObject's resource name (with
    // or without its slash), clipped to the fit box for fitmethod clip and to
    // the chosen box when that is smaller than the media box.
    void write(ContentBuilder& out, std::string_view xobjectName) const;
    // The same operators as a text.
    std::string content(std::string_view xobjectName) const;

private:
    QPDFMatrix frame_;  // the fit box's space: rotated and moved to the reference point
    QPDFMatrix inner_;  // imported page user space into the fit box's space
    std::optional<std::array<double, 2>> clipBox_;
    std::optional<PdfRect> pageClip_;
    std::optional<std::pair<double, double>> pageSize_;
};

}  // namespace pdfengine
