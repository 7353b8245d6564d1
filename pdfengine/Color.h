// A device colour as PDF's colour operators take it.
#pragma once

#include <array>

namespace pdfengine {

enum class ColorSpace { Gray, Rgb, Cmyk };

struct Color {
    ColorSpace space = ColorSpace::Gray;
    std::array<double, 4> components{};  // those the space does not use stay 0

    static int componentCount(ColorSpace space)
    {
        return space == ColorSpace::Gray ? 1 : space == ColorSpace::Rgb ? 3 : 4;
    }
    bool operator==(const Color&) const = default;
};

}  // namespace pdfengine
