// How much an object of w x h is scaled to fit a box of boxWidth x boxHeight by
// a fit method: meet and auto as large as fits whole, slice as small as covers
// the box (both keeping proportions), entire stretched to the box, nofit and
// clip by `unfitted` (their own scale factors). Shared by everything placed
// into boxes: images, and imported pages.
#pragma once

#include <algorithm>
#include <array>

#include "pdfengine/FitKeywords.h"

namespace pdfengine {

// Horizontal and vertical factor. All sizes must be above 0.
inline std::array<double, 2> fitScale(FitMethod method, double boxWidth, double boxHeight, double width,
                                      double height, std::array<double, 2> unfitted = {1, 1})
{
    const double fx = boxWidth / width, fy = boxHeight / height;
    switch (method) {
        case FitMethod::Meet:
        case FitMethod::Auto:
            return {std::min(fx, fy), std::min(fx, fy)};
        case FitMethod::Slice:
            return {std::max(fx, fy), std::max(fx, fy)};
        case FitMethod::Entire:
            return {fx, fy};
        case FitMethod::NoFit:
        case FitMethod::Clip:
            break;
    }
    return unfitted;
}

}  // namespace pdfengine
