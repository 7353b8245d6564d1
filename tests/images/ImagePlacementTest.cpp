// Where a placed image goes in its box, for each fit method and position,
// and the operators that draw it.
#include <gtest/gtest.h>

#include <cmath>

#include "pdfengine/EngineError.h"
#include "pdfengine/ImagePlacement.h"
#include "tests/images/ImageTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;

namespace {

std::string matrixText(const QPDFMatrix& m)
{
    ContentBuilder out;
    for (double v : {m.a, m.b, m.c, m.d, m.e, m.f})
        out.number(v);
    return out.take();
}

TEST(ImagePlacementTest, FitMethodsScaleAndPositionPutTheImageInTheBox)
{
    // An image of 200 x 100 points in a box of 100 x 200 at (10, 20).
    const PdfRect box{10, 20, 110, 220};
    struct Case {
        FitMethod method;
        std::array<double, 2> position;
        const char* matrix;
    };
    const Case cases[] = {
        // Half size fits whole; centred, the spare height is shared above and below.
        {FitMethod::Meet, {50, 50}, "100 0 0 50 10 95 "},
        {FitMethod::Auto, {50, 50}, "100 0 0 50 10 95 "},
        {FitMethod::Meet, {0, 0}, "100 0 0 50 10 20 "},
        {FitMethod::Meet, {100, 100}, "100 0 0 50 10 170 "},
        // Twice the size covers the box; the rest sticks out on both sides.
        {FitMethod::Slice, {50, 50}, "400 0 0 200 -140 20 "},
        {FitMethod::Entire, {50, 50}, "100 0 0 200 10 20 "},
        {FitMethod::NoFit, {0, 100}, "200 0 0 100 10 120 "},
        {FitMethod::Clip, {50, 0}, "200 0 0 100 -40 20 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.method));
        const ImagePlacement placement = ImagePlacement::compute(200, 100, box, {c.method, c.position});
        EXPECT_EQ(matrixText(placement.matrix()), c.matrix);
        EXPECT_EQ(placement.clip().has_value(), c.method == FitMethod::Clip);
    }
}

TEST(ImagePlacementTest, OperatorsApplyTheOuterMatrixAndTheClipFirst)
{
    const ImagePlacement clipped = ImagePlacement::compute(20, 10, {0, 0, 10, 10}, {FitMethod::Clip, {0, 0}});
    const QPDFMatrix outer(0.5, 0, 0, 0.5, 30, 40);
    ContentBuilder out;
    clipped.write(out, "X3", &outer);
    EXPECT_EQ(out.data(), "q\n0.5 0 0 0.5 30 40 cm\n0 0 10 10 re\nW\nn\n20 0 0 10 0 0 cm\n/X3 Do\nQ\n");

    ContentBuilder plain;
    ImagePlacement::compute(20, 10, {0, 0, 10, 10}, {}).write(plain, "X1");
    EXPECT_EQ(plain.data(), "q\n10 0 0 5 0 2.5 cm\n/X1 Do\nQ\n");
}

TEST(ImagePlacementTest, ABoxWithoutAreaOrAnImageWithoutSizeIsAnError)
{
    auto message = [](double w, double h, const PdfRect& box) {
        try {
            ImagePlacement::compute(w, h, box, {});
        } catch (const EngineError& e) {
            return std::to_string(e.code().number) + " " + e.what();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(10, 10, {5, 5, 5, 20}), "5004 The box of an image placement has no area (0 x 15)");
    EXPECT_EQ(message(0, 10, {0, 0, 10, 10}), "5004 An image to be placed has no size");
    EXPECT_EQ(message(10, 10, {0, 0, std::nan(""), 10}).substr(0, 5), "5002 ");
}

TEST(ImagePlacementTest, ClipKeepsTheImageInsideItsBox)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("red.png"), imagetest::solidPng(40, 40, 0xFF0000));
    for (FitMethod method : {FitMethod::NoFit, FitMethod::Clip}) {
        const std::string pdf = dir.file("out.pdf");
        imagetest::writePlaced(pdf, dir.file("red.png"), {10, 10, 30, 30}, {method, {0, 0}});
        const enginetest::Raster raster = enginetest::render(pdf);
        EXPECT_EQ(imagetest::hex(raster.pixel(20, 20)), "FF0000");
        EXPECT_EQ(imagetest::hex(raster.pixel(40, 40)), method == FitMethod::Clip ? "0000FF" : "FF0000");
    }
}

}  // namespace
