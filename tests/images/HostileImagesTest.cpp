// Damaged and hostile image files give an error, never a crash, a hang or a
// huge allocation. Truncated and garbled copies of real images go through the
// readers (the sanitizer build checks every access), and files that claim
// enormous sizes are refused before anything is allocated for them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "pdfengine/ImageLoader.h"
#include "pdfengine/ImageXObject.h"
#include "tests/images/ImageFixtures.h"
#include "tests/images/ImageTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace imagetest;
using namespace pdfengine;
using testsupport::TempDir;

namespace {

unsigned gradient(int x, int y, int c)
{
    return static_cast<unsigned>((x * 4 + y * 3 + c * 50) % 256);
}

struct Sample {
    std::string name;
    std::string bytes;
};

std::vector<Sample> samples()
{
    std::vector<Sample> all;
    PngSpec png;
    png.width = png.height = 48;
    png.pixel = gradient;
    all.push_back({"png_rgb", pngBytes(png)});
    png.colorType = 6;
    png.interlaced = true;
    all.push_back({"png_rgba_interlaced", pngBytes(png)});
    png.colorType = 3;
    png.bitDepth = 4;
    png.interlaced = false;
    png.palette.assign(48, 0x80);
    png.paletteAlpha = {0, 128};
    png.pixel = [](int x, int y, int) { return static_cast<unsigned>((x + y) % 16); };
    all.push_back({"png_palette", pngBytes(png)});
    JpegSpec jpeg;
    jpeg.width = jpeg.height = 48;
    jpeg.pixel = gradient;
    all.push_back({"jpeg", jpegBytes(jpeg)});
    jpeg.progressive = true;
    jpeg.components = 4;
    all.push_back({"jpeg_progressive_cmyk", jpegBytes(jpeg)});
#ifdef QUILLON_HAVE_GIF
    GifSpec gif;
    gif.width = gif.height = 48;
    gif.interlaced = true;
    gif.transparentIndex = 3;
    for (int i = 0; i < 16 * 3; ++i)
        gif.palette.push_back(static_cast<unsigned char>(i * 5));
    gif.pixel = [](int x, int y, int) { return static_cast<unsigned>((x * y) % 16); };
    all.push_back({"gif", gifBytes(gif)});
#endif
#ifdef QUILLON_HAVE_TIFF
    TempDir dir;
    for (bool tiled : {false, true}) {
        TiffSpec tiff;
        tiff.width = tiff.height = 40;
        tiff.samples = 4;
        tiff.tiled = tiled;
        tiff.pixel = gradient;
        writeTiff(dir.file("t.tif"), tiff);
        all.push_back({tiled ? "tiff_tiles" : "tiff_strips", testsupport::readFile(dir.file("t.tif"))});
    }
#endif
    return all;
}

// Loads bytes as the engine does and, when they load, writes an XObject of
// them, so that every sample the reader produced is read back. Returns whether
// they loaded; any other outcome than an ImageError fails the test.
bool loadAndWrite(const std::string& bytes)
{
    try {
        auto image = ImageLoader::load(bytes, "sample", std::nullopt);
        QPDF pdf;
        pdf.emptyPDF();
        pdf.getRoot().replaceKey("/Image", ImageXObject::make(pdf, image, 17));
        std::string out;
        Pl_String sink("out", nullptr, out);
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&sink);
        writer.write();
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

class HostileImages : public testing::TestWithParam<Sample> {};

TEST_P(HostileImages, TruncatedCopiesAreRefused)
{
    const std::string& whole = GetParam().bytes;
    ASSERT_TRUE(loadAndWrite(whole));
    const size_t step = whole.size() > 3000 ? whole.size() / 1500 : 1;
    for (size_t length = 0; length < whole.size(); length += step) {
        const bool loaded = loadAndWrite(whole.substr(0, length));
        // The last bytes may be a trailer that readers do without; most of a
        // file is not enough.
        if (length < whole.size() * 9 / 10) {
            EXPECT_FALSE(loaded) << "a copy cut after " << length << " of " << whole.size()
                                 << " bytes loaded";
        }
    }
}

TEST_P(HostileImages, GarbledCopiesLoadOrFailCleanly)
{
    const std::string& whole = GetParam().bytes;
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<size_t>(state >> 33);
    };
    int refused = 0;
    for (int copy = 0; copy < 300; ++copy) {
        std::string bytes = whole;
        const int changes = 1 + static_cast<int>(next() % 4);
        for (int i = 0; i < changes; ++i) {
            // Headers are where damage matters most: half of the changes hit the first 64 bytes.
            const size_t at =
                next() % 2 ? next() % std::min<size_t>(64, bytes.size()) : next() % bytes.size();
            bytes[at] = static_cast<char>(next());
        }
        refused += loadAndWrite(bytes) ? 0 : 1;
    }
    // Nothing to assert on the split but that the readers ran; print it for the curious.
    RecordProperty("refused", refused);
}

INSTANTIATE_TEST_SUITE_P(Images, HostileImages, testing::ValuesIn(samples()),
                         [](const testing::TestParamInfo<Sample>& info) { return info.param.name; });

// Loads a file through the API and gives "<errnum> <message>" or "loaded".
std::string loadResult(const std::string& file)
{
    enginetest::Handle p;
    if (PDF_load_image(p, "auto", file.c_str(), 0, "") != -1)
        return "loaded";
    return std::to_string(PDF_get_errnum(p)) + " " + PDF_get_errmsg(p);
}

TEST(HostileImagesTest, ClaimedSizesBeyondTheLimitsAreRefusedBeforeAllocating)
{
    TempDir dir;
    auto check = [&](const std::string& name, const std::string& bytes, const std::string& expected) {
        SCOPED_TRACE(name);
        const std::string file = dir.file(name);
        testsupport::writeFile(file, bytes);
        EXPECT_EQ(loadResult(file), "2407 Image file '" + file + "' is too large (" + expected + ")");
    };
    check("wide.png", pngHeaderOnly(20000, 20000, 2, 8, false),
          "20000 x 20000 pixels; at most 100 megapixels");
    check("wide.jpg", jpegClaimingSize(60000, 60000), "60000 x 60000 pixels; at most 100 megapixels");
    // Within the pixel limit, but the passes of an interlaced image would need it whole.
    check("deep.png", pngHeaderOnly(10000, 10000, 6, 16, true), "its samples need 763 MB; at most 256 MB");
#ifdef QUILLON_HAVE_GIF
    // A screen and a first frame of 65535 x 65535, no colour table, no data.
    std::string gif = "GIF89a";
    gif += std::string("\xFF\xFF\xFF\xFF\x00\x00\x00", 7);
    gif += std::string(",\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x08", 11);
    check("wide.gif", gif, "65535 x 65535 pixels; at most 100 megapixels");
#endif
    // A sparse file: its size alone is refused, nothing is read.
    const std::string big = dir.file("big.png");
    testsupport::writeFile(big, "\x89PNG\r\n\x1A\n");
    ASSERT_EQ(::truncate(big.c_str(), 300 << 20), 0);
    EXPECT_EQ(loadResult(big), "2407 Image file '" + big + "' is too large (300 MB; at most 256 MB)");
}

TEST(HostileImagesTest, FilesWithoutPixelsOrNotFilesAtAllAreRefused)
{
    TempDir dir;
    const std::string empty = dir.file("empty.png");
    testsupport::writeFile(empty, "");
    EXPECT_EQ(loadResult(empty), "2403 Image file '" + empty + "' is not a JPEG, PNG, GIF or TIFF image");
    const std::string zero = dir.file("zero.png");
    testsupport::writeFile(zero, pngHeaderOnly(0, 10, 2, 8, false));
    EXPECT_EQ(loadResult(zero), "2406 Image file '" + zero + "' is damaged (Invalid IHDR data)");
    const std::string flat = dir.file("flat.jpg");
    testsupport::writeFile(flat, jpegClaimingSize(16, 0));
    EXPECT_EQ(loadResult(flat).substr(0, 5), "2406 ");
    // A FIFO would block a reader forever.
    const std::string fifo = dir.file("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(loadResult(fifo),
              "2402 Couldn't open image file '" + fifo + "' for reading (not a regular file)");
}

TEST(HostileImagesTest, JpegDataPdfCannotCarryIsRefused)
{
    TempDir dir;
    JpegSpec spec;
    spec.pixel = gradient;
    const std::string jpeg = jpegBytes(spec);
    // Without its end marker the data was cut off, however whole the header is.
    const std::string cut = dir.file("cut.jpg");
    testsupport::writeFile(cut, jpeg.substr(0, jpeg.size() - 2));
    EXPECT_EQ(loadResult(cut),
              "2406 Image file '" + cut + "' is damaged (it ends before the end of its image data)");
    // Tables only, no frame.
    const std::string tables = dir.file("tables.jpg");
    testsupport::writeFile(tables, jpeg.substr(0, jpeg.find("\xFF\xC0")) + "\xFF\xD9");
    EXPECT_EQ(loadResult(tables).substr(0, 5), "2406 ");
}

}  // namespace
