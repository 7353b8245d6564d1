// PDF_load_image and PDF_close_image through the C interface: where files are
// found, how failures are reported, in which scopes images work, and that an
// image is written once however often and from wherever it is loaded.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "tests/images/ImageFixtures.h"
#include "tests/images/ImageTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace imagetest;
using namespace enginetest;
using testsupport::TempDir;

namespace {

// The distinct objects of the images pdfimages lists, and how often each is drawn.
std::map<int, int> drawings(const std::string& pdf, const std::string& type = "image")
{
    std::map<int, int> objects;
    for (const ListedImage& image : listImages(pdf))
        if (image.type == type)
            ++objects[image.object];
    return objects;
}

TEST(ImageLoadingTest, FilesThatCannotBeLoadedGiveMinusOneAndAMessage)
{
    TempDir dir;
    testsupport::writeFile(dir.file("notes.txt"), "not an image\n");
    std::filesystem::create_directory(dir.file("folder.png"));
    JpegSpec spec;
    spec.pixel = [](int, int, int) { return 200u; };
    testsupport::writeFile(dir.file("photo.png"), jpegBytes(spec));

    Handle p;  // its handler throws: none of these may call it
    struct Expectation {
        const char* type;
        std::string file;
        int number;
        std::string message;
    };
    const Expectation expectations[] = {
        {"auto", dir.file("nosuch.png"), 2401,
         "Couldn't open image file '" + dir.file("nosuch.png") + "' for reading (file not found)"},
        {"auto", "", 2401, "Couldn't open image file '' for reading (file not found)"},
        {"auto", dir.file("folder.png"), 2402,
         "Couldn't open image file '" + dir.file("folder.png") + "' for reading (it is a folder)"},
        {"auto", dir.file("notes.txt"), 2403,
         "Image file '" + dir.file("notes.txt") + "' is not a JPEG, PNG, GIF or TIFF image"},
        {"png", dir.file("photo.png"), 2404,
         "Image file '" + dir.file("photo.png") + "' is a JPEG image, not PNG"},
    };
    for (const Expectation& e : expectations) {
        SCOPED_TRACE(e.file);
        EXPECT_EQ(PDF_load_image(p, e.type, e.file.c_str(), 0, ""), -1);
        EXPECT_EQ(PDF_get_errnum(p), e.number);
        EXPECT_EQ(PDF_get_errmsg(p), e.message);
        EXPECT_STREQ(PDF_get_apiname(p), "PDF_load_image");
    }
    // The type word is compared without case, and the name says nothing.
    EXPECT_GE(PDF_load_image(p, "JPEG", dir.file("photo.png").c_str(), 0, ""), 1);
    // Loaded already, the image is shared, and still checked against the type asked for.
    EXPECT_EQ(PDF_load_image(p, "gif", dir.file("photo.png").c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errmsg(p), "Image file '" + dir.file("photo.png") + "' is a JPEG image, not GIF");
}

TEST(ImageLoadingTest, MistakesInTheCallAreFatal)
{
    TempDir dir;
    testsupport::writeFile(dir.file("a.png"), solidPng(4, 4, 0xFF0000));
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_load_image(p, "bmp", dir.file("a.png").c_str(), 0, ""); }),
              "5003 9 Unknown image type 'bmp' (expected auto, jpeg, png, gif or tiff)");
    EXPECT_EQ(failure(p, [&] { PDF_load_image(p, "auto", dir.file("a.png").c_str(), 0, "dpi=300"); }),
              "1101 8 Unknown option 'dpi'");
    const std::string withNul = dir.file("a.png") + std::string(1, '\0') + "x";
    EXPECT_EQ(
        failure(p, [&] { PDF_load_image(p, "auto", withNul.c_str(), static_cast<int>(withNul.size()), ""); }),
        "2005 9 Image file name contains a NUL byte");
    // A length says how much of the name counts.
    EXPECT_GE(PDF_load_image(p, "auto", withNul.c_str(), static_cast<int>(dir.file("a.png").size()), ""), 1);
}

TEST(ImageLoadingTest, HandlesAreCheckedAndMinusOneSaysWhy)
{
    TempDir dir;
    testsupport::writeFile(dir.file("a.png"), solidPng(4, 4, 0xFF0000));
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_close_image(p, 7); }), "4301 4 image handle 7 is not valid");
    EXPECT_EQ(PDF_load_image(p, "auto", dir.file("gone.png").c_str(), 0, ""), -1);
    EXPECT_EQ(failure(p, [&] { PDF_close_image(p, -1); }),
              "4301 4 image handle -1 is not valid; the last image load failed: Couldn't open image file '" +
                  dir.file("gone.png") + "' for reading (file not found)");

    const int first = PDF_load_image(p, "auto", dir.file("a.png").c_str(), 0, "");
    const int second = PDF_load_image(p, "auto", dir.file("a.png").c_str(), 0, "");
    EXPECT_GE(first, 1);
    EXPECT_NE(first, second);
    PDF_close_image(p, first);
    EXPECT_EQ(failure(p, [&] { PDF_close_image(p, first); }),
              "4301 4 image handle " + std::to_string(first) + " is not valid");
    PDF_close_image(p, second);
}

TEST(ImageLoadingTest, RelativeNamesAreFoundInTheCurrentFolderThenOnTheSearchPath)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("one"));
    std::filesystem::create_directories(dir.file("two/sub"));
    testsupport::writeFile(dir.file("two/sub/logo.png"), solidPng(4, 4, 0x00FF00));
    testsupport::writeFile(dir.file("here.png"), solidPng(4, 4, 0x0000FF));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Handle p;
    EXPECT_GE(PDF_load_image(p, "auto", "here.png", 0, ""), 1);
    EXPECT_EQ(PDF_load_image(p, "auto", "sub/logo.png", 0, ""), -1);
    PDF_set_option(p, ("SearchPath={{" + dir.file("one") + "} {" + dir.file("two") + "}}").c_str());
    EXPECT_GE(PDF_load_image(p, "auto", "sub/logo.png", 0, ""), 1);
    // An absolute name is taken only as it is.
    EXPECT_EQ(PDF_load_image(p, "auto", "/sub/logo.png", 0, ""), -1);
    std::filesystem::current_path(previous);
}

TEST(ImageLoadingTest, ImagesLoadInEveryScopeButAPathAndOutliveDocuments)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    TempDir dir;
    testsupport::writeFile(dir.file("a.png"), solidPng(4, 4, 0xFF0000));
    const std::string file = dir.file("a.png");
    Handle p;
    const int early = PDF_load_image(p, "auto", file.c_str(), 0, "");
    ASSERT_GE(early, 1);
    for (const char* name : {"one.pdf", "two.pdf"}) {
        PDF_begin_document(p, dir.file(name).c_str(), 0, "");
        const int inDocument = PDF_load_image(p, "auto", file.c_str(), 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
        const int inPage = PDF_load_image(p, "auto", file.c_str(), 0, "");
        ASSERT_GE(inDocument, 1);
        ASSERT_GE(inPage, 1);
        placeImage(p, early, {0, 0, 10, 10});
        placeImage(p, inDocument, {20, 0, 30, 10});
        placeImage(p, inPage, {40, 0, 50, 10});
        // Closing writes nothing and works even inside a path.
        PDF_moveto(p, 0, 0);
        PDF_close_image(p, inPage);
        PDF_lineto(p, 10, 10);
        PDF_stroke(p);
        PDF_close_image(p, inDocument);
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
        // Three placements of the same content, one image in each file.
        const auto images = drawings(dir.file(name));
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images.begin()->second, 3);
    }
    PDF_close_image(p, early);

    Handle q;
    PDF_begin_document(q, "", 0, "");
    PDF_begin_page_ext(q, 100, 100, "");
    PDF_moveto(q, 0, 0);
    EXPECT_EQ(failure(q, [&] { PDF_load_image(q, "auto", file.c_str(), 0, ""); }),
              "3001 3 Function 'PDF_load_image' must not be called in 'path' scope");
}

TEST(ImageLoadingTest, AnImageIsWrittenOnceHoweverOftenAndFromWhereverItIsLoaded)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    PngSpec spec;
    spec.colorType = 6;
    spec.pixel = [](int x, int, int c) { return c == 3 ? (x < 4 ? 255u : 0u) : 200u; };
    testsupport::writeFile(dir.file("logo.png"), pngBytes(spec));
    // Another name for the same bytes.
    testsupport::writeFile(dir.file("copy.png"), pngBytes(spec));
    const std::string pdf = dir.file("out.pdf");
    Handle p;
    PDF_begin_document(p, pdf.c_str(), 0, "");
    for (int page = 0; page < 4; ++page) {
        PDF_begin_page_ext(p, 100, 100, "");
        // As a job fills image blocks: load, place, close, on every page.
        const int image =
            PDF_load_image(p, "auto", dir.file(page == 3 ? "copy.png" : "logo.png").c_str(), 0, "");
        ASSERT_GE(image, 1);
        placeImage(p, image, {0, 0, 40, 40});
        placeImage(p, image, {50, 50, 90, 90}, {pdfengine::FitMethod::Entire, {0, 0}});
        PDF_close_image(p, image);
        PDF_end_page_ext(p, "");
    }
    PDF_end_document(p, "");
    EXPECT_EQ(testsupport::run({"qpdf", "--check", pdf}).status, 0);
    const auto images = drawings(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images.begin()->second, 8);
    EXPECT_EQ(drawings(pdf, "smask").size(), 1u);
}

TEST(ImageLoadingTest, AFileChangedOnDiskIsLoadedAgain)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    TempDir dir;
    const std::string file = dir.file("changing.png");
    const std::string pdf = dir.file("out.pdf");
    Handle p;
    PDF_begin_document(p, pdf.c_str(), 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    testsupport::writeFile(file, solidPng(4, 4, 0xFF0000));
    int image = PDF_load_image(p, "auto", file.c_str(), 0, "");
    placeImage(p, image, {0, 0, 50, 100});
    PDF_close_image(p, image);
    // Same size, same name: only the content differs.
    testsupport::writeFile(file, solidPng(4, 4, 0x00FF00));
    image = PDF_load_image(p, "auto", file.c_str(), 0, "");
    placeImage(p, image, {50, 0, 100, 100});
    PDF_close_image(p, image);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    EXPECT_EQ(drawings(pdf).size(), 2u);
    const Raster raster = render(pdf);
    EXPECT_EQ(hex(raster.pixel(25, 50)), "FF0000");
    EXPECT_EQ(hex(raster.pixel(75, 50)), "00FF00");
}

// An image still in use is taken again for an unchanged file without opening
// it; a file that is gone, or is something else now, is not.
TEST(ImageLoadingTest, AKnownFileThatIsGoneOrReplacedIsNotTakenFromMemory)
{
    TempDir dir;
    const std::string file = dir.file("logo.png");
    testsupport::writeFile(file, solidPng(4, 4, 0xFF0000));
    Handle p;
    const int kept = PDF_load_image(p, "auto", file.c_str(), 0, "");
    ASSERT_GE(kept, 1);
    EXPECT_GE(PDF_load_image(p, "png", file.c_str(), 0, ""), 1);
    // Known, yet still checked against the type asked for.
    EXPECT_EQ(PDF_load_image(p, "jpeg", file.c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errnum(p), 2404);

    std::filesystem::remove(file);
    EXPECT_EQ(PDF_load_image(p, "auto", file.c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errmsg(p), "Couldn't open image file '" + file + "' for reading (file not found)");
    std::filesystem::create_directory(file);
    EXPECT_EQ(PDF_load_image(p, "auto", file.c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errnum(p), 2402);
    std::filesystem::remove(file);
    testsupport::writeFile(file, "not an image\n");
    EXPECT_EQ(PDF_load_image(p, "auto", file.c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errnum(p), 2403);
    // The same picture again, in a new file: found by its content.
    std::filesystem::remove(file);
    testsupport::writeFile(file, solidPng(4, 4, 0xFF0000));
    EXPECT_GE(PDF_load_image(p, "auto", file.c_str(), 0, ""), 1);
    PDF_close_image(p, kept);
}

TEST(ImageLoadingTest, JpegDataIsWrittenAsTheFileHasIt)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    TempDir dir;
    JpegSpec spec;
    spec.width = 40;
    spec.height = 24;
    spec.progressive = true;
    spec.pixel = [](int x, int y, int c) { return static_cast<unsigned>((x * 5 + y * 9 + c * 70) % 256); };
    const std::string jpeg = jpegBytes(spec);
    testsupport::writeFile(dir.file("photo.jpg"), jpeg);
    // Also in an encrypted file, where the stream is encrypted as it is written.
    for (const std::string options : {"", "masterpassword=secret"}) {
        SCOPED_TRACE(options);
        const std::string pdf = dir.file("out.pdf");
        writePlaced(pdf, dir.file("photo.jpg"), {0, 0, 100, 60}, {}, options);
        ASSERT_EQ(testsupport::run({"pdfimages", "-j", pdf, dir.file("extracted")}).status, 0);
        EXPECT_TRUE(testsupport::readFile(dir.file("extracted-000.jpg")) == jpeg);
    }
}

TEST(ImageLoadingTest, TheFilesResolutionGivesTheNaturalSize)
{
    TempDir dir;
    testsupport::writeFile(dir.file("fine.png"), solidPng(100, 50, 0xFF0000, 144));
    testsupport::writeFile(dir.file("plain.png"), solidPng(100, 50, 0xFF0000));
    JpegSpec spec;
    spec.width = 30;
    spec.height = 30;
    spec.dpi = 300;
    spec.pixel = [](int, int, int) { return 0u; };
    testsupport::writeFile(dir.file("fine.jpg"), jpegBytes(spec));
    const pdfengine::ImageFit noFit{pdfengine::FitMethod::NoFit, {0, 0}};
    writePlaced(dir.file("fine.pdf"), dir.file("fine.png"), {10, 20, 90, 90}, noFit);
    writePlaced(dir.file("plain.pdf"), dir.file("plain.png"), {10, 20, 90, 90}, noFit);
    writePlaced(dir.file("jpeg.pdf"), dir.file("fine.jpg"), {10, 20, 90, 90}, noFit);
    // 100 pixels at 144 dpi are 50 points; without a resolution, 100.
    const std::string fine = pageContent(dir.file("fine.pdf"), 1);
    const std::string plain = pageContent(dir.file("plain.pdf"), 1);
    const std::string jpeg = pageContent(dir.file("jpeg.pdf"), 1);
    EXPECT_NE(fine.find("50 0 0 25 10 20 cm"), std::string::npos) << fine;
    EXPECT_NE(plain.find("100 0 0 50 10 20 cm"), std::string::npos) << plain;
    EXPECT_NE(jpeg.find("7.2 0 0 7.2 10 20 cm"), std::string::npos) << jpeg;
}

TEST(ImageLoadingTest, OlderVersionsGetWhatTheyCanCarry)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    PngSpec spec;
    spec.colorType = 6;
    spec.bitDepth = 16;
    // Left half red and opaque, right half green and transparent.
    spec.pixel = [](int x, int, int c) {
        const bool left = x < 4;
        if (c == 3)
            return left ? 65535u : 0u;
        return (c == 0 && left) || (c == 1 && !left) ? 65535u : 0u;
    };
    testsupport::writeFile(dir.file("deep.png"), pngBytes(spec));
    struct Version {
        const char* compatibility;
        int bits;
        bool softMask;
        unsigned long right;  // the colour of the transparent half
    };
    for (const Version& v : {Version{"1.5", 16, true, 0x0000FF}, Version{"1.4", 8, true, 0x0000FF},
                             Version{"1.3", 8, false, 0x00FF00}}) {
        SCOPED_TRACE(v.compatibility);
        const std::string pdf = dir.file(std::string("v") + v.compatibility + ".pdf");
        writePlaced(pdf, dir.file("deep.png"), {0, 0, 100, 100}, {},
                    std::string("compatibility=") + v.compatibility);
        EXPECT_EQ(testsupport::run({"qpdf", "--check", pdf}).status, 0);
        const auto listed = listImages(pdf);
        ASSERT_EQ(listed.size(), v.softMask ? 2u : 1u);
        EXPECT_EQ(listed[0].bits, v.bits);
        if (v.softMask) {
            EXPECT_EQ(listed[1].bits, v.bits);
        }
        const Raster raster = render(pdf);
        EXPECT_EQ(hex(raster.pixel(25, 50)), "FF0000");
        EXPECT_EQ(hex(raster.pixel(75, 50)), hex(v.right));
    }
}

TEST(ImageLoadingTest, TheTraceShowsLoadsAndTheirFailures)
{
    TempDir dir;
    testsupport::writeFile(dir.file("a.png"), solidPng(4, 4, 0xFF0000));
    const std::string trace = dir.file("trace.txt");
    {
        Handle p;
        PDF_set_option(p, ("logging={filename={" + trace + "}}").c_str());
        const int image = PDF_load_image(p, "auto", dir.file("a.png").c_str(), 0, "");
        PDF_close_image(p, image);
        PDF_load_image(p, "png", "missing.png", 0, "");
    }
    const std::string text = testsupport::readFile(trace);
    EXPECT_NE(text.find("PDF_load_image(\"auto\", \"" + dir.file("a.png") + "\", 0, \"\") = 1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("PDF_close_image(1)\n"), std::string::npos) << text;
    EXPECT_NE(
        text.find("PDF_load_image(\"png\", \"missing.png\", 0, \"\") = -1 -> error 2401 (I/O, non-fatal): "
                  "Couldn't open image file 'missing.png' for reading (file not found)\n"),
        std::string::npos)
        << text;
}

}  // namespace
