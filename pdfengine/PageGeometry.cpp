#include "pdfengine/PageGeometry.h"

#include <cmath>

#include "pdfengine/OptionList.h"
#include "pdfengine/PdiError.h"

namespace pdfengine {

namespace {

int normalisedRotation(QPDFObjectHandle value)
{
    if (!value.isNumber())
        return 0;
    double degrees = value.getNumericValue();
    if (!std::isfinite(degrees) || std::fabs(degrees) > 1e9)
        return 0;
    long quarters = std::lround(degrees / 90.0) % 4;
    if (quarters < 0)
        quarters += 4;
    return static_cast<int>(quarters * 90);
}

// A box clipped to the media box; `fallback` when the page has none or it does
// not overlap the media box.
PdfRect clippedBox(const PageNode& page, const char* name, const PdfRect& media, const PdfRect& fallback)
{
    auto box = PdfRect::fromObject(page.attribute(name));
    if (!box)
        return fallback;
    PdfRect clipped = box->intersect(media);
    return clipped.empty() ? fallback : clipped;
}

}  // namespace

std::optional<PageBox> pageBoxFromKeyword(std::string_view keyword)
{
    static constexpr std::pair<std::string_view, PageBox> table[] = {
        {"media", PageBox::Media}, {"crop", PageBox::Crop}, {"bleed", PageBox::Bleed},
        {"trim", PageBox::Trim},   {"art", PageBox::Art},
    };
    for (const auto& [word, box] : table)
        if (equalsNoCase(keyword, word))
            return box;
    return std::nullopt;
}

const PdfRect& PageGeometry::box(PageBox which) const
{
    switch (which) {
        case PageBox::Media:
            return media;
        case PageBox::Bleed:
            return bleed;
        case PageBox::Trim:
            return trim;
        case PageBox::Art:
            return art;
        case PageBox::Crop:
            break;
    }
    return crop;
}

double PageGeometry::displayWidth(PageBox which) const
{
    return rotate % 180 ? box(which).height() : box(which).width();
}

double PageGeometry::displayHeight(PageBox which) const
{
    return rotate % 180 ? box(which).width() : box(which).height();
}

PageGeometry PageGeometry::of(const PageNode& page, const std::string& description)
{
    PageGeometry g;
    // Only "/MediaBox" is inherited among these; the others are looked up the
    // same way for simplicity (a /Pages node has no bleed, trim or art box).
    g.media = PdfRect::fromObject(page.attribute("/MediaBox")).value_or(PdfRect{0, 0, 612, 792});
    if (g.media.empty())
        throw PdiError(PdiErrorKind::BadPage, "The media box of " + description + " has no area");
    g.crop = clippedBox(page, "/CropBox", g.media, g.media);
    g.bleed = clippedBox(page, "/BleedBox", g.media, g.crop);
    g.trim = clippedBox(page, "/TrimBox", g.media, g.crop);
    g.art = clippedBox(page, "/ArtBox", g.media, g.crop);
    g.rotate = normalisedRotation(page.attribute("/Rotate"));
    return g;
}

}  // namespace pdfengine
