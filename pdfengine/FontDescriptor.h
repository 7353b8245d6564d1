// The values of a PDF font descriptor, in glyph space units (1/1000 em).
#pragma once

#include <cstdint>
#include <string>

namespace pdfengine {

struct FontDescriptor {
    // Flags of the font descriptor.
    static constexpr uint32_t kFixedPitch = 1u << 0;
    static constexpr uint32_t kSerif = 1u << 1;
    static constexpr uint32_t kSymbolic = 1u << 2;
    static constexpr uint32_t kScript = 1u << 3;
    static constexpr uint32_t kNonsymbolic = 1u << 5;
    static constexpr uint32_t kItalic = 1u << 6;

    std::string fontName;  // the BaseFont, subset tag included where there is one
    uint32_t flags = 0;
    int bbox[4] = {0, 0, 0, 0};
    double italicAngle = 0;
    int ascent = 0;
    int descent = 0;
    int capHeight = 0;
    int xHeight = 0;
    int stemV = 0;
};

}  // namespace pdfengine
