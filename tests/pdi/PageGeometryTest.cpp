// The boxes and rotation of imported pages as they apply.
#include "pdfengine/PageGeometry.h"

#include <gtest/gtest.h>

#include "tests/pdi/PdiTestSupport.h"
#include "tests/support/PdfFixtures.h"

using namespace pdfengine;

namespace {

PageGeometry geometryOf(fixtures::PdfBuilder& b, const std::string& mediaBox, const std::string& entries)
{
    PageNode node;
    node.dict = b.addPage(mediaBox, "", entries);
    node.resources = node.mediaBox = node.cropBox = node.rotate = QPDFObjectHandle::newNull();
    return PageGeometry::of(node, "page 1 of PDF file 'x.pdf'");
}

}  // namespace

TEST(PageGeometryTest, BoxesAreClippedToTheMediaBoxAndDefaultToTheCropBox)
{
    fixtures::PdfBuilder b;
    PageGeometry g = geometryOf(b, "[600 800 0 0]", "/CropBox [-10 100 500 900] /TrimBox [50 150 450 750]");
    EXPECT_EQ(g.media, (PdfRect{0, 0, 600, 800}));
    EXPECT_EQ(g.crop, (PdfRect{0, 100, 500, 800}));
    EXPECT_EQ(g.bleed, g.crop);
    EXPECT_EQ(g.art, g.crop);
    EXPECT_EQ(g.trim, (PdfRect{50, 150, 450, 750}));
    EXPECT_EQ(g.box(PageBox::Trim), g.trim);
    EXPECT_EQ(g.box(PageBox::Media), g.media);

    // A crop box beside the page, or not a rectangle, counts as none.
    PageGeometry beside = geometryOf(b, "[0 0 100 100]", "/CropBox [200 200 300 300] /ArtBox [1 2 3]");
    EXPECT_EQ(beside.crop, beside.media);
    EXPECT_EQ(beside.art, beside.media);

    // No media box: US Letter, as viewers assume. One without area cannot be placed.
    EXPECT_EQ(geometryOf(b, "(none)", "").media, (PdfRect{0, 0, 612, 792}));
    EXPECT_PDI_ERROR(geometryOf(b, "[0 0 0 500]", ""), PdiErrorKind::BadPage,
                     "The media box of page 1 of PDF file 'x.pdf' has no area");
}

TEST(PageGeometryTest, RotationIsAQuarterTurnModuloAFullOne)
{
    fixtures::PdfBuilder b;
    const std::pair<const char*, int> cases[] = {
        {"90", 90},  {"-90", 270}, {"450", 90},  {"-720", 0},        {"180.0", 180},
        {"100", 90}, {"44", 0},    {"/East", 0}, {"12345678901", 0},
    };
    for (const auto& [value, rotate] : cases)
        EXPECT_EQ(geometryOf(b, "[0 0 10 20]", std::string("/Rotate ") + value).rotate, rotate) << value;

    PageGeometry turned = geometryOf(b, "[0 0 10 20]", "/Rotate 270 /CropBox [0 0 10 15]");
    EXPECT_EQ(turned.displayWidth(PageBox::Crop), 15);
    EXPECT_EQ(turned.displayHeight(PageBox::Crop), 10);
    EXPECT_EQ(turned.displayWidth(PageBox::Media), 20);
}
