// Every format and colour type becomes an image XObject that poppler lists
// with the right colour space, depth and encoding, and draws with the right
// colours the right way up. Each test image has four quadrants of different
// colours (top left, top right, bottom left, bottom right); it is placed over
// a blue page, so transparent parts show blue.
#include <gtest/gtest.h>

#include <functional>

#include "tests/images/ImageFixtures.h"
#include "tests/images/ImageTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace imagetest;
using testsupport::TempDir;

namespace {

constexpr unsigned long red = 0xFF0000, green = 0x00FF00, yellow = 0xFFFF00, white = 0xFFFFFF,
                        blue = 0x0000FF, black = 0x000000;

// 0 top left, 1 top right, 2 bottom left, 3 bottom right of a size x size image.
int quadrant(int x, int y, int size)
{
    return (y >= size / 2 ? 2 : 0) + (x >= size / 2 ? 1 : 0);
}

unsigned channel(unsigned long color, int c)
{
    return static_cast<unsigned>(color >> (16 - 8 * c)) & 0xFF;
}

unsigned long grayColor(unsigned level)
{
    return level << 16 | level << 8 | level;
}

struct Expected {
    std::string color;
    int components;
    int bits;
    std::string encoding;
    bool softMask;
};

struct Case {
    std::string name;
    std::string extension;
    // Writes the image file at the path.
    std::function<void(const std::string&)> write;
    unsigned long quadrants[4];
    Expected listed;
};

void writeBytes(const std::string& path, const std::string& bytes)
{
    testsupport::writeFile(path, bytes);
}

std::function<void(const std::string&)> png(PngSpec spec)
{
    return [spec](const std::string& path) { writeBytes(path, pngBytes(spec)); };
}

// An RGB(A) PNG of the four colours; alpha per quadrant when given.
PngSpec rgbPng(int bits, const unsigned long (&colors)[4], const unsigned (&alpha)[4], bool withAlpha,
               bool interlaced = false)
{
    PngSpec spec;
    spec.bitDepth = bits;
    spec.colorType = withAlpha ? 6 : 2;
    spec.interlaced = interlaced;
    const unsigned scale = bits == 16 ? 257 : 1;
    unsigned long c[4] = {colors[0], colors[1], colors[2], colors[3]};
    unsigned a[4] = {alpha[0], alpha[1], alpha[2], alpha[3]};
    spec.pixel = [=](int x, int y, int ch) {
        const int q = quadrant(x, y, 8);
        return (ch == 3 ? a[q] : channel(c[q], ch)) * scale;
    };
    return spec;
}

PngSpec grayPng(int bits, const unsigned (&levels)[4], const unsigned (&alpha)[4], bool withAlpha)
{
    PngSpec spec;
    spec.bitDepth = bits;
    spec.colorType = withAlpha ? 4 : 0;
    unsigned l[4] = {levels[0], levels[1], levels[2], levels[3]};
    unsigned a[4] = {alpha[0], alpha[1], alpha[2], alpha[3]};
    const unsigned alphaScale = bits == 16 ? 257 : 1;
    spec.pixel = [=](int x, int y, int ch) {
        return ch == 1 ? a[quadrant(x, y, 8)] * alphaScale : l[quadrant(x, y, 8)];
    };
    return spec;
}

PngSpec palettePng(int bits, bool interlaced = false)
{
    PngSpec spec;
    spec.colorType = 3;
    spec.bitDepth = bits;
    spec.interlaced = interlaced;
    spec.palette = {255, 0, 0, 0, 255, 0, 255, 255, 0, 255, 255, 255};
    spec.pixel = [](int x, int y, int) { return static_cast<unsigned>(quadrant(x, y, 8)); };
    return spec;
}

constexpr unsigned opaque[4] = {255, 255, 255, 255};
constexpr unsigned long colors[4] = {red, green, yellow, white};

std::vector<Case> cases()
{
    std::vector<Case> all;
    all.push_back({"png_rgb8",
                   ".png",
                   png(rgbPng(8, colors, opaque, false)),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "image", false}});
    all.push_back({"png_rgb16",
                   ".png",
                   png(rgbPng(16, colors, opaque, false)),
                   {red, green, yellow, white},
                   {"rgb", 3, 16, "image", false}});
    all.push_back({"png_rgb8_interlaced",
                   ".png",
                   png(rgbPng(8, colors, opaque, false, true)),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "image", false}});
    // Alpha 0 shows the blue page; 128 mixes red with it.
    constexpr unsigned someAlpha[4] = {255, 0, 128, 255};
    all.push_back({"png_rgba8",
                   ".png",
                   png(rgbPng(8, colors, someAlpha, true)),
                   {red, blue, 0x80807F, white},
                   {"rgb", 3, 8, "image", true}});
    all.push_back({"png_rgba16",
                   ".png",
                   png(rgbPng(16, colors, someAlpha, true)),
                   {red, blue, 0x80807F, white},
                   {"rgb", 3, 16, "image", true}});
    // An alpha channel that is opaque everywhere makes no soft mask.
    all.push_back({"png_rgba8_opaque",
                   ".png",
                   png(rgbPng(8, colors, opaque, true)),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "image", false}});
    {
        PngSpec spec = rgbPng(8, colors, opaque, false);
        spec.transparentColor = {0, 255, 0};  // green
        all.push_back(
            {"png_rgb8_trns", ".png", png(spec), {red, blue, yellow, white}, {"rgb", 3, 8, "image", true}});
    }
    {
        PngSpec spec = rgbPng(16, colors, opaque, false);
        spec.transparentColor = {0, 65535, 0};  // green
        all.push_back(
            {"png_rgb16_trns", ".png", png(spec), {red, blue, yellow, white}, {"rgb", 3, 16, "image", true}});
    }
    for (int bits : {1, 2, 4, 8, 16}) {
        const unsigned max = (1u << bits) - 1;
        const unsigned levels[4] = {0, bits == 1 ? max : max / 3, bits == 1 ? max : 2 * max / 3, max};
        unsigned long expected[4];
        for (int q = 0; q < 4; ++q)
            expected[q] = grayColor(static_cast<unsigned>(levels[q] * 255.0 / max + 0.5));
        all.push_back({"png_gray" + std::to_string(bits),
                       ".png",
                       png(grayPng(bits, levels, opaque, false)),
                       {expected[0], expected[1], expected[2], expected[3]},
                       {"gray", 1, bits, "image", false}});
    }
    {
        const unsigned levels[4] = {0, 5, 10, 15};
        PngSpec spec = grayPng(4, levels, opaque, false);
        spec.transparentColor = {5};
        all.push_back({"png_gray4_trns",
                       ".png",
                       png(spec),
                       {black, blue, grayColor(170), white},
                       {"gray", 1, 4, "image", true}});
    }
    {
        const unsigned levels[4] = {0, 0x5555, 0xAAAA, 0xFFFF};
        all.push_back({"png_gray_alpha16",
                       ".png",
                       png(grayPng(16, levels, someAlpha, true)),
                       {black, blue, 0x5555D4, white},
                       {"gray", 1, 16, "image", true}});
        const unsigned levels8[4] = {0, 0x55, 0xAA, 0xFF};
        all.push_back({"png_gray_alpha8",
                       ".png",
                       png(grayPng(8, levels8, someAlpha, true)),
                       {black, blue, 0x5555D4, white},
                       {"gray", 1, 8, "image", true}});
    }
    for (int bits : {2, 4, 8})
        all.push_back({"png_palette" + std::to_string(bits),
                       ".png",
                       png(palettePng(bits)),
                       {red, green, yellow, white},
                       {"index", 1, bits, "image", false}});
    all.push_back({"png_palette2_interlaced",
                   ".png",
                   png(palettePng(2, true)),
                   {red, green, yellow, white},
                   {"index", 1, 2, "image", false}});
    {
        PngSpec spec = palettePng(1);
        spec.palette = {255, 0, 0, 255, 255, 255};
        spec.pixel = [](int x, int y, int) { return static_cast<unsigned>(quadrant(x, y, 8) % 2); };
        all.push_back(
            {"png_palette1", ".png", png(spec), {red, white, red, white}, {"index", 1, 1, "image", false}});
    }
    {
        PngSpec spec = palettePng(4);
        spec.paletteAlpha = {255, 0};  // green is transparent; the others are opaque
        all.push_back({"png_palette4_trns",
                       ".png",
                       png(spec),
                       {red, blue, yellow, white},
                       {"index", 1, 4, "image", true}});
    }

    auto jpeg = [](JpegSpec spec) {
        return [spec](const std::string& path) { writeBytes(path, jpegBytes(spec)); };
    };
    auto rgbJpeg = [](bool progressive, bool rgbStored) {
        JpegSpec spec;
        spec.progressive = progressive;
        spec.rgbWithoutTransform = rgbStored;
        spec.pixel = [](int x, int y, int c) { return channel(colors[quadrant(x, y, 16)], c); };
        return spec;
    };
    all.push_back({"jpeg_rgb",
                   ".jpg",
                   jpeg(rgbJpeg(false, false)),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "jpeg", false}});
    all.push_back({"jpeg_rgb_progressive",
                   ".jpg",
                   jpeg(rgbJpeg(true, false)),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "jpeg", false}});
    all.push_back({"jpeg_rgb_stored_as_rgb",
                   ".jpg",
                   jpeg(rgbJpeg(false, true)),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "jpeg", false}});
    {
        JpegSpec spec;
        spec.components = 1;
        const unsigned levels[4] = {0, 0x55, 0xAA, 0xFF};
        spec.pixel = [levels](int x, int y, int) { return levels[quadrant(x, y, 16)]; };
        all.push_back({"jpeg_gray",
                       ".jpg",
                       jpeg(spec),
                       {black, grayColor(0x55), grayColor(0xAA), white},
                       {"gray", 1, 8, "jpeg", false}});
    }
    {
        // Stored inverted, as Adobe software writes CMYK: 255 is no ink. Poppler
        // draws black ink as a slightly warm black.
        JpegSpec spec;
        spec.components = 4;
        const unsigned inks[4][4] = {{0, 0, 0, 255}, {0, 0, 255, 0}, {0, 0, 255, 0}, {0, 0, 0, 0}};
        spec.pixel = [inks](int x, int y, int c) { return 255 - inks[quadrant(x, y, 16)][c] * 1u; };
        all.push_back({"jpeg_cmyk_adobe",
                       ".jpg",
                       jpeg(spec),
                       {0x231F20, yellow, yellow, white},
                       {"cmyk", 4, 8, "jpeg", false}});
    }

#ifdef QUILLON_HAVE_GIF
    auto gif = [](bool interlaced, int transparent, int frames) {
        GifSpec spec;
        spec.interlaced = interlaced;
        spec.transparentIndex = transparent;
        spec.frames = frames;
        spec.palette = {255, 0, 0, 0, 255, 0, 255, 255, 0, 255, 255, 255};
        spec.pixel = [](int x, int y, int) { return static_cast<unsigned>(quadrant(x, y, 8)); };
        return [spec](const std::string& path) { writeBytes(path, gifBytes(spec)); };
    };
    all.push_back(
        {"gif", ".gif", gif(false, -1, 1), {red, green, yellow, white}, {"index", 1, 8, "image", false}});
    all.push_back({"gif_interlaced",
                   ".gif",
                   gif(true, -1, 1),
                   {red, green, yellow, white},
                   {"index", 1, 8, "image", false}});
    // Only the first frame is drawn; later ones would paint everything red.
    all.push_back({"gif_transparent_animated",
                   ".gif",
                   gif(false, 1, 3),
                   {red, blue, yellow, white},
                   {"index", 1, 8, "image", false}});
#endif
#ifdef QUILLON_HAVE_TIFF
    auto tiff = [](int samples, bool tiled) {
        TiffSpec spec;
        spec.width = spec.height = 32;
        spec.samples = samples;
        spec.tiled = tiled;
        spec.pixel = [samples](int x, int y, int c) {
            const int q = quadrant(x, y, 32);
            if (samples == 1)
                return q * 85u;
            if (c == 3)
                return q == 1 ? 0u : 255u;
            return channel(colors[q], c);
        };
        return [spec](const std::string& path) { writeTiff(path, spec); };
    };
    all.push_back({"tiff_rgb_strips",
                   ".tif",
                   tiff(3, false),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "image", false}});
    all.push_back({"tiff_rgb_tiles",
                   ".tif",
                   tiff(3, true),
                   {red, green, yellow, white},
                   {"rgb", 3, 8, "image", false}});
    all.push_back({"tiff_gray",
                   ".tif",
                   tiff(1, false),
                   {black, grayColor(85), grayColor(170), white},
                   {"gray", 1, 8, "image", false}});
    all.push_back(
        {"tiff_rgba", ".tif", tiff(4, false), {red, blue, yellow, white}, {"rgb", 3, 8, "image", true}});
#endif
    return all;
}

class ImageFormats : public testing::TestWithParam<Case> {};

TEST_P(ImageFormats, ListedAndDrawnAsTheFileHasIt)
{
    QUILLON_REQUIRE_TOOL("pdfimages");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("qpdf");
    const Case& c = GetParam();
    TempDir dir;
    // The name says nothing of the format: it is found from the bytes.
    const std::string file = dir.file("image.dat");
    c.write(file);
    const std::string pdf = dir.file("out.pdf");
    writePlaced(pdf, file, {0, 0, 100, 100});

    EXPECT_EQ(testsupport::run({"qpdf", "--check", pdf}).status, 0);
    const std::vector<ListedImage> listed = listImages(pdf);
    ASSERT_EQ(listed.size(), c.listed.softMask ? 2u : 1u);
    EXPECT_EQ(listed[0].type, "image");
    EXPECT_EQ(listed[0].color, c.listed.color);
    EXPECT_EQ(listed[0].components, c.listed.components);
    EXPECT_EQ(listed[0].bits, c.listed.bits);
    EXPECT_EQ(listed[0].encoding, c.listed.encoding);
    if (c.listed.softMask) {
        EXPECT_EQ(listed[1].type, "smask");
        EXPECT_EQ(listed[1].color, "gray");
        EXPECT_EQ(listed[1].width, listed[0].width);
    }

    const enginetest::Raster raster = enginetest::render(pdf);
    ASSERT_EQ(raster.width, 100);
    const int points[4][2] = {{25, 75}, {75, 75}, {25, 25}, {75, 25}};
    for (int q = 0; q < 4; ++q) {
        const unsigned long seen = raster.pixel(points[q][0], points[q][1]);
        EXPECT_TRUE(near(seen, c.quadrants[q]))
            << "quadrant " << q << ": " << hex(seen) << ", expected " << hex(c.quadrants[q]);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, ImageFormats, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
