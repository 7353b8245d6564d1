// Image blocks: the image fitted into the block where the block appears
// (pixels from pdftoppm), and stored once however often it is placed
// (pdfimages -list).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/blocks-engine/BlockTestSupport.h"
#include "tests/images/ImageTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using enginetest::Handle;

namespace {

void writeLogoForm(const testsupport::TempDir& dir)
{
    testsupport::writeFile(dir.file("logo.png"), imagetest::solidPng(10, 10, 0xFF0000));
    blocktest::writeTemplate(
        dir.file("form.pdf"), "[0 0 400 300]", [&](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
            b.addBlock(page, "logo", b.parse("<< /Type /Block /Subtype /Image /Rect [100 100 300 200] >>"));
            b.addBlock(page, "stretched",
                       b.parse("<< /Type /Block /Subtype /Image /Rect [20 20 80 60] /fitmethod /entire >>"));
            b.addBlock(page, "fallback",
                       b.parse("<< /Type /Block /Subtype /Image /Rect [320 220 380 280] /defaultimage " +
                               fixtures::hexString(dir.file("logo.png")) + " >>"));
        });
}

}  // namespace

TEST(ImageBlocks, FittedWhereTheBlockIsAndStoredOnce)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    writeLogoForm(dir);
    const std::string out = dir.file("out.pdf");
    Handle p;
    PDF_begin_document(p, out.c_str(), 0, "");
    const int doc = PDF_open_pdi_document(p, dir.file("form.pdf").c_str(), 0, "");
    const int page = PDF_open_pdi_page(p, doc, 1, "");
    const int logo = PDF_load_image(p, "auto", dir.file("logo.png").c_str(), 0, "");
    // Page 1: the form at its own size; page 2: at half size from (100, 100).
    for (const char* placement : {"adjustpage", "scale 0.5"}) {
        PDF_begin_page_ext(p, 595, 842, "");
        PDF_fit_pdi_page(p, page, 100, 100, placement);
        EXPECT_EQ(PDF_fill_imageblock(p, page, "logo", logo, ""), 1);
        EXPECT_EQ(PDF_fill_imageblock(p, page, "stretched", logo, ""), 1);
        PDF_end_page_ext(p, "");
    }
    PDF_close_image(p, logo);
    PDF_end_document(p, "");

    std::vector<imagetest::ListedImage> listed = imagetest::listImages(out);
    ASSERT_EQ(listed.size(), 4u);
    std::set<int> objects;
    for (const auto& image : listed)
        objects.insert(image.object);
    EXPECT_EQ(objects.size(), 1u) << "the image is stored more than once";
    EXPECT_EQ(fixtures::countObjects(out, "/Subtype", "/Image"), 1);

    // meet and {50 50}: a square as high as the block, in its middle.
    enginetest::Raster own = enginetest::render(out, 1);
    EXPECT_EQ(own.colour(200, 150), 'r');
    EXPECT_EQ(own.colour(155, 150), 'r');
    EXPECT_EQ(own.colour(145, 150), 'w');
    EXPECT_EQ(own.colour(255, 150), 'w');
    // entire: the whole block.
    EXPECT_EQ(own.colour(22, 22), 'r');
    EXPECT_EQ(own.colour(78, 58), 'r');
    EXPECT_EQ(own.colour(82, 40), 'w');

    enginetest::Raster half = enginetest::render(out, 2);
    EXPECT_EQ(half.colour(200, 175), 'r');  // (100 + 200 / 2, 100 + 150 / 2)
    EXPECT_EQ(half.colour(170, 175), 'w');
    EXPECT_EQ(half.colour(112, 112), 'r');  // the stretched block at (110..140, 110..130)
    EXPECT_EQ(half.colour(142, 120), 'w');
}

TEST(ImageBlocks, OptionsOverrideTheBlockAndMinusOneTakesTheDefaultImage)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    writeLogoForm(dir);
    Handle p;
    blocktest::writeFilled(p, dir.file("out.pdf"), dir.file("form.pdf"), {}, [&](PDF* p, int page) {
        const int logo = PDF_load_image(p, "auto", dir.file("logo.png").c_str(), 0, "");
        EXPECT_EQ(PDF_fill_imageblock(p, page, "logo", logo, "fitmethod=entire margin=10"), 1);
        EXPECT_EQ(PDF_fill_imageblock(p, page, "stretched", logo, "fitmethod=meet position={left bottom}"),
                  1);
        PDF_close_image(p, logo);
        // The renderer passes -1 when the configured image would not load.
        EXPECT_EQ(PDF_fill_imageblock(p, page, "fallback", -1, ""), 1);
    });
    enginetest::Raster raster = enginetest::render(dir.file("out.pdf"));
    EXPECT_EQ(raster.colour(112, 150), 'r');  // entire within the margins
    EXPECT_EQ(raster.colour(105, 150), 'w');
    EXPECT_EQ(raster.colour(288, 188), 'r');
    EXPECT_EQ(raster.colour(22, 22), 'r');  // a 40 x 40 square at the left
    EXPECT_EQ(raster.colour(58, 58), 'r');
    EXPECT_EQ(raster.colour(70, 40), 'w');
    EXPECT_EQ(raster.colour(350, 250), 'r');  // the default image
}
