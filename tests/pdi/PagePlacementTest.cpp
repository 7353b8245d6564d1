// Placement of imported pages: the matrix for each option, checked by where
// the corners of the imported page land, and the operators that draw it.
#include "pdfengine/PagePlacement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/pdi/PdiTestSupport.h"

using namespace pdfengine;

namespace {

PageGeometry page(PdfRect media, int rotate = 0, std::optional<PdfRect> crop = std::nullopt)
{
    PageGeometry g;
    g.media = media;
    g.crop = g.bleed = g.trim = g.art = crop.value_or(media);
    g.rotate = rotate;
    return g;
}

struct Point {
    double x, y;
};

Point apply(const QPDFMatrix& m, Point p)
{
    Point r;
    m.transform(p.x, p.y, r.x, r.y);
    return r;
}

void expectPoint(Point actual, Point expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
}

// Where the corners of the box go: lower left, lower right, upper left, upper right.
void expectCorners(const PagePlacement& p, const PdfRect& box, Point ll, Point lr, Point ul, Point ur)
{
    QPDFMatrix m = p.matrix();
    expectPoint(apply(m, {box.llx, box.lly}), ll, "lower left");
    expectPoint(apply(m, {box.urx, box.lly}), lr, "lower right");
    expectPoint(apply(m, {box.llx, box.ury}), ul, "upper left");
    expectPoint(apply(m, {box.urx, box.ury}), ur, "upper right");
}

const PdfRect a4{0, 0, 600, 800};

}  // namespace

TEST(PagePlacementTest, WithoutOptionsThePageSitsAtTheReferencePoint)
{
    PagePlacement p = PagePlacement::compute(page(a4), PageBox::Crop, 10, 20, {});
    expectCorners(p, a4, {10, 20}, {610, 20}, {10, 820}, {610, 820});
    EXPECT_EQ(p.content("Fx1"), "q\n1 0 0 1 10 20 cm\n/Fx1 Do\nQ\n");
    EXPECT_FALSE(p.pageSize().has_value());

    // A crop box inside the media box: its corner goes to the reference point
    // and the rest of the page is clipped away.
    PdfRect crop{100, 50, 500, 750};
    PagePlacement c = PagePlacement::compute(page(a4, 0, crop), PageBox::Crop, 0, 0, {});
    expectCorners(c, crop, {0, 0}, {400, 0}, {0, 700}, {400, 700});
    EXPECT_EQ(c.content("/Fx1"), "q\n1 0 0 1 -100 -50 cm\n100 50 400 700 re W n\n/Fx1 Do\nQ\n");
    // The media box of the same page is not clipped.
    PagePlacement m = PagePlacement::compute(page(a4, 0, crop), PageBox::Media, 0, 0, {});
    EXPECT_EQ(m.content("Fx1"), "q\n/Fx1 Do\nQ\n") << "the identity matrix is left out";
}

TEST(PagePlacementTest, RotatedPagesComeOutUpright)
{
    // A page turned clockwise by its /Rotate shows its lower left corner at the
    // top left (90), the top right (180) or the bottom right (270); placed, the
    // corners must be where a viewer shows them.
    PlacementOptions adjust;
    adjust.adjustPage = true;
    PagePlacement r90 = PagePlacement::compute(page(a4, 90), PageBox::Crop, 0, 0, adjust);
    expectCorners(r90, a4, {0, 600}, {0, 0}, {800, 600}, {800, 0});
    EXPECT_EQ(r90.pageSize(), std::make_pair(800.0, 600.0));
    EXPECT_EQ(r90.content("Fx"), "q\n0 -1 1 0 0 600 cm\n/Fx Do\nQ\n");

    PagePlacement r180 = PagePlacement::compute(page(a4, 180), PageBox::Crop, 0, 0, adjust);
    expectCorners(r180, a4, {600, 800}, {0, 800}, {600, 0}, {0, 0});
    EXPECT_EQ(r180.pageSize(), std::make_pair(600.0, 800.0));

    PdfRect shifted{50, 100, 350, 500};  // a box away from the origin
    PagePlacement r270 = PagePlacement::compute(page(shifted, 270), PageBox::Crop, 5, 7, {});
    expectCorners(r270, shifted, {405, 7}, {405, 307}, {5, 7}, {5, 307});
}

TEST(PagePlacementTest, FitMethodsInABox)
{
    PlacementOptions o;
    o.boxWidth = 300;
    o.boxHeight = 300;
    o.position = {50, 50};

    o.fitMethod = FitMethod::Meet;  // 0.375: 225 x 300, centred across
    PagePlacement meet = PagePlacement::compute(page(a4), PageBox::Crop, 100, 100, o);
    expectCorners(meet, a4, {137.5, 100}, {362.5, 100}, {137.5, 400}, {362.5, 400});
    o.fitMethod = FitMethod::Auto;
    EXPECT_EQ(PagePlacement::compute(page(a4), PageBox::Crop, 100, 100, o).matrix(), meet.matrix());

    o.fitMethod = FitMethod::Slice;  // 0.5: 300 x 400, centred up and down
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, o), a4, {0, -50}, {300, -50},
                  {0, 350}, {300, 350});

    o.fitMethod = FitMethod::Entire;  // 0.5 x 0.375
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, o), a4, {0, 0}, {300, 0}, {0, 300},
                  {300, 300});

    // nofit keeps the scale and aligns the same point of page and box.
    o.fitMethod = FitMethod::NoFit;
    o.position = {100, 100};
    o.scale = {0.25, 0.25};
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, o), a4, {150, 100}, {300, 100},
                  {150, 300}, {300, 300});

    // clip: as nofit, drawn through a clip of the box.
    o.fitMethod = FitMethod::Clip;
    o.scale = {1, 1};
    o.position = {0, 0};
    PagePlacement clip = PagePlacement::compute(page(a4), PageBox::Crop, 10, 20, o);
    expectCorners(clip, a4, {10, 20}, {610, 20}, {10, 820}, {610, 820});
    EXPECT_EQ(clip.content("Fx"), "q\n1 0 0 1 10 20 cm\n0 0 300 300 re W n\n/Fx Do\nQ\n");

    // A box with no height is no box.
    o.boxHeight = 0;
    o.fitMethod = FitMethod::Meet;
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, o), a4, {0, 0}, {600, 0}, {0, 800},
                  {600, 800});
}

TEST(PagePlacementTest, ScalePositionRotateAndOrientate)
{
    PlacementOptions o;
    o.scale = {2, 0.5};
    o.position = {50, 50};  // without a box the page's centre goes to the reference point
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, o), a4, {-600, -200}, {600, -200},
                  {-600, 200}, {600, 200});

    PlacementOptions turn;
    turn.rotate = 90;  // counter-clockwise about the reference point
    PagePlacement r = PagePlacement::compute(page(a4), PageBox::Crop, 10, 10, turn);
    expectCorners(r, a4, {10, 10}, {10, 610}, {-790, 10}, {-790, 610});
    EXPECT_EQ(r.content("F"), "q\n0 1 -1 0 10 10 cm\n/F Do\nQ\n");

    PlacementOptions west;
    west.orientate = Orientation::West;  // the top points left; the page lies in the quadrant
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, west), a4, {800, 0}, {800, 600},
                  {0, 0}, {0, 600});
    PlacementOptions east;
    east.orientate = Orientation::East;
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, east), a4, {0, 600}, {0, 0},
                  {800, 600}, {800, 0});
    PlacementOptions south;
    south.orientate = Orientation::South;
    expectCorners(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, south), a4, {600, 800}, {0, 800},
                  {600, 0}, {0, 0});

    // orientate works on the page as displayed: a page with /Rotate 90 turned
    // west is upright again in its own frame.
    expectCorners(PagePlacement::compute(page(a4, 90), PageBox::Crop, 0, 0, west), a4, {0, 0}, {600, 0},
                  {0, 800}, {600, 800});
}

TEST(PagePlacementTest, AdjustPageGivesTheSizeOfWhatIsPlaced)
{
    PlacementOptions o;
    o.adjustPage = true;
    o.rotate = 30;
    o.scale = {0.5, 0.5};
    PagePlacement p = PagePlacement::compute(page(a4), PageBox::Crop, 500, 500, o);
    double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    ASSERT_TRUE(p.pageSize().has_value());
    EXPECT_NEAR(p.pageSize()->first, 300 * c + 400 * s, 1e-9);
    EXPECT_NEAR(p.pageSize()->second, 300 * s + 400 * c, 1e-9);
    // The reference point is ignored: the placed page touches the left and bottom edges.
    QPDFMatrix m = p.matrix();
    expectPoint(apply(m, {0, 0}), {400 * s, 0}, "lower left");
    expectPoint(apply(m, {0, 800}), {0, 400 * c}, "upper left");

    o.rotate = 0;
    o.boxWidth = 1000;
    o.boxHeight = 500;
    o.fitMethod = FitMethod::Meet;
    PagePlacement boxed = PagePlacement::compute(page(a4), PageBox::Crop, 77, 88, o);
    EXPECT_EQ(boxed.pageSize(), std::make_pair(1000.0, 500.0));
    expectCorners(boxed, a4, {0, 0}, {375, 0}, {0, 500}, {375, 500});
}

TEST(PagePlacementTest, ValuesOutOfRangeAreRefused)
{
    PlacementOptions zero;
    zero.scale = {1, 0};
    EXPECT_PDI_ERROR(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, zero), PdiErrorKind::BadValue,
                     "The scale of a page placement must be above 0 (0)");
    PlacementOptions negative;
    negative.boxWidth = -5;
    EXPECT_PDI_ERROR(PagePlacement::compute(page(a4), PageBox::Crop, 0, 0, negative), PdiErrorKind::BadValue,
                     "must not be negative (-5)");
    EXPECT_PDI_ERROR(PagePlacement::compute(page(a4), PageBox::Crop, NAN, 0, {}), PdiErrorKind::BadValue,
                     "The x coordinate of a page placement is not finite");
}
