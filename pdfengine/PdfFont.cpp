#include "pdfengine/PdfFont.h"

#include "pdfengine/FontError.h"

namespace pdfengine {

GlyphRun PdfFont::mapGlyphIds(const std::vector<uint16_t>&) const
{
    throw FontError("Glyph ids can only be shown in fonts loaded from font files");
}

}  // namespace pdfengine
