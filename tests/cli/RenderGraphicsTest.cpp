// Lines, rectangles and imported backgrounds, checked on the rendered pixels: one
// pixel per point, measured from the top-left corner like the configuration.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/CliFixture.h"

using namespace clitest;
using namespace pdfcheck;

namespace {

// Configuration lengths (tenths of a millimetre) in points.
double pt(double tenths)
{
    return tenths / 3.528;
}

class GraphicsTest : public CliTest {
protected:
    // Renders one default page with the object sections given and rasterises it.
    Raster draw(int objects, const std::string& sections)
    {
        render("[PDF]\npdfName=out.pdf\npages=1\n[PAGE_1]\nobjects=" + std::to_string(objects) + "\n" +
               sections);
        return Raster(file("out.pdf"));
    }
};

TEST_F(GraphicsTest, LinesTakeTheirColourWidthAndDash)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    Raster page = draw(3,
                       "[PUT_1_1]\nobject_type=line\nleft=200\ntop=300\nright=1800\nbottom=300\n"
                       "width=100\ncolor=FF0000\n"
                       // 200 on, 200 off, from x = 200.
                       "[PUT_1_2]\nobject_type=line\nleft=200\ntop=1000\nright=1800\nbottom=1000\n"
                       "width=50\ncolor=0000FF\nblack=200\nwhite=200\n"
                       "[PUT_1_3]\nobject_type=line\nleft=200\ntop=1500\nright=1800\nbottom=1500\n"
                       "width=50\ncolor=0000FF\nblack=200\n");
    ASSERT_GT(page.width(), 0);
    // A red band 28.3 points wide around y = 85.
    EXPECT_TRUE(near(page.at(pt(1000), pt(300)), red)) << page.at(pt(1000), pt(300));
    EXPECT_TRUE(near(page.at(pt(1000), pt(300) + 12), red));
    EXPECT_TRUE(near(page.at(pt(1000), pt(300) - 12), red));
    EXPECT_EQ(page.at(pt(1000), pt(300) + 18), white);
    EXPECT_EQ(page.at(pt(1000), pt(300) - 18), white);
    // Nothing beyond the ends (butt caps).
    EXPECT_EQ(page.at(pt(1800) + 3, pt(300)), white);
    // The dashed line: on, off, on.
    EXPECT_TRUE(near(page.at(pt(300), pt(1000)), blue)) << page.at(pt(300), pt(1000));
    EXPECT_EQ(page.at(pt(500), pt(1000)), white);
    EXPECT_TRUE(near(page.at(pt(700), pt(1000)), blue));
    EXPECT_EQ(page.at(pt(900), pt(1000)), white);
    // A line without a dash after it is solid again.
    for (int x = 300; x <= 900; x += 100)
        EXPECT_TRUE(near(page.at(pt(x), pt(1500)), blue)) << x;
}

TEST_F(GraphicsTest, RectanglesAreFilledOnlyWithABackgroundColour)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    Raster page = draw(4,
                       "[PUT_1_1]\nobject_type=rect\nleft=200\ntop=200\nright=800\nbottom=800\n"
                       "width=20\ncolor=0000FF\n"
                       "[PUT_1_2]\nobject_type=rect\nleft=1000\ntop=200\nright=1600\nbottom=800\n"
                       "width=20\ncolor=0000FF\nbgcolor=00FF00\n"
                       // Corners given the other way round: a negative width and height.
                       "[PUT_1_3]\nobject_type=rect\nleft=800\ntop=1600\nright=200\nbottom=1000\n"
                       "bgcolor=FF0000\n"
                       "[PUT_1_4]\nobject_type=rect\nleft=1000\ntop=1000\nright=1600\nbottom=1600\n"
                       "width=20\nbgcolor=000000\n");
    ASSERT_GT(page.width(), 0);
    // Stroked only: blue edge, white inside.
    EXPECT_TRUE(near(page.at(pt(200), pt(500)), blue)) << page.at(pt(200), pt(500));
    EXPECT_EQ(page.at(pt(500), pt(500)), white);
    // Filled green and stroked blue.
    EXPECT_TRUE(near(page.at(pt(1300), pt(500)), green)) << page.at(pt(1300), pt(500));
    EXPECT_TRUE(near(page.at(pt(1000), pt(500)), blue));
    EXPECT_TRUE(near(page.at(pt(500), pt(1300)), red)) << page.at(pt(500), pt(1300));
    // bgcolor 000000 means no fill.
    EXPECT_EQ(page.at(pt(1300), pt(1300)), white);
    EXPECT_TRUE(near(page.at(pt(1000), pt(1300)), black));
}

TEST_F(GraphicsTest, TheImportedPageLiesUnderTheObjectsAndSetsThePageSize)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("pdfinfo");
    // A blue square page of 1000 x 1000 tenths of a millimetre.
    writeConf(
        "[PDF]\npdfName=bg.pdf\npages=1\n[PAGE_1]\nwidth=1000\nheight=1000\nobjects=1\n"
        "[PUT_1_1]\nobject_type=rect\nleft=0\ntop=0\nright=1000\nbottom=1000\nbgcolor=0000FF\n"
        "color=0000FF\n",
        "bg.conf");
    ASSERT_EQ(quillon("bg.conf").err, "");

    // Positions are measured from the top of the page as configured, so the page is
    // given the background's size; page 2 keeps the default size in the
    // configuration, and "adjustpage" gives it the imported page's.
    render(
        "[PDF]\npdfName=out.pdf\npdiName=bg.pdf\npages=3\n"
        "[PAGE_1]\nwidth=1000\nheight=1000\npdiPage=1\nobjects=1\n"
        "[PUT_1_1]\nobject_type=rect\nleft=400\ntop=400\nright=600\nbottom=600\nbgcolor=FF0000\n"
        "color=FF0000\n"
        "[PAGE_2]\npdiPage=1\n"
        "[PAGE_3]\nobjects=0\n");
    Raster page(file("out.pdf"));
    ASSERT_NEAR(page.width(), 283, 1);
    EXPECT_TRUE(near(page.at(pt(500), pt(500)), red)) << page.at(pt(500), pt(500));
    EXPECT_TRUE(near(page.at(pt(100), pt(100)), blue)) << page.at(pt(100), pt(100));
    std::string sizes = testsupport::run({"pdfinfo", "-f", "1", "-l", "3", file("out.pdf")}).out;
    EXPECT_NE(sizes.find("Page    2 size:  283.447 x 283.447 pts"), std::string::npos) << sizes;
    // A page without pdiPage has no background and its own size.
    EXPECT_NE(sizes.find("Page    3 size:  595.805 x 843.254 pts"), std::string::npos) << sizes;
    Raster third(file("out.pdf"), 3);
    EXPECT_EQ(third.at(100, 100), white);
}

TEST_F(GraphicsTest, PdiProcessIsAppliedOnceByTheFirstImportingPage)
{
    writeConf("[PDF]\npdfName=bg.pdf\npages=1\n[PAGE_1]\n", "bg.conf");
    ASSERT_EQ(quillon("bg.conf").err, "");
    // Page 1 imports nothing, so its list (which the engine would refuse) is never
    // used; page 2 applies its own; page 3's (refused too) is ignored.
    render(
        "[PDF]\npdfName=out.pdf\npdiName=bg.pdf\ntrace=trace.txt\npages=3\n"
        "[PAGE_1]\npdiProcess=action=nonsense\n"
        "[PAGE_2]\npdiPage=1\npdiProcess=action=copyoutputintent\n"
        "[PAGE_3]\npdiPage=1\npdiProcess=action=nonsense\n");
    std::string trace = testsupport::readFile(file("trace.txt"));
    size_t first = trace.find("PDF_process_pdi(");
    ASSERT_NE(first, std::string::npos) << trace;
    EXPECT_EQ(trace.find("PDF_process_pdi(", first + 1), std::string::npos);
    EXPECT_NE(trace.find("\"action=copyoutputintent\")", first), std::string::npos);
    // Processing comes before the page is imported.
    EXPECT_LT(first, trace.find("PDF_open_pdi_page("));
    EXPECT_EQ(info(file("out.pdf"), "Pages"), "3");
}

}  // namespace
