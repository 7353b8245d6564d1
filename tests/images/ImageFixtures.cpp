#include "tests/images/ImageFixtures.h"

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>
#ifdef QUILLON_HAVE_GIF
#include <gif_lib.h>
#endif
#ifdef QUILLON_HAVE_TIFF
#include <tiffio.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace imagetest {

namespace {

// Fixture writers fail only on a broken test; they stop the program loudly
// rather than unwind through the C libraries.
[[noreturn]] void fixtureFailure(const char* library, const char* message)
{
    std::fprintf(stderr, "test image writer (%s) failed: %s\n", library, message ? message : "");
    std::abort();
}

void pngWrite(png_structp png, png_bytep data, size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void pngFlush(png_structp) {}

void pngFail(png_structp, png_const_charp message)
{
    fixtureFailure("libpng", message);
}

void pngWarn(png_structp, png_const_charp) {}

int channelsOf(int colorType)
{
    switch (colorType) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 1;
    }
}

void putSample(std::vector<unsigned char>& row, size_t index, int bits, unsigned value)
{
    if (bits == 16) {
        row[2 * index] = static_cast<unsigned char>(value >> 8);
        row[2 * index + 1] = static_cast<unsigned char>(value);
    } else if (bits == 8) {
        row[index] = static_cast<unsigned char>(value);
    } else {
        const size_t bit = index * static_cast<size_t>(bits);
        const int shift = 8 - bits - static_cast<int>(bit % 8);
        row[bit / 8] = static_cast<unsigned char>(row[bit / 8] | ((value & ((1u << bits) - 1)) << shift));
    }
}

std::string chunk(const char* type, const std::string& data)
{
    std::string out;
    const auto length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(length >> shift);
    std::string body = std::string(type, 4) + data;
    out += body;
    const auto crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(crc >> shift);
    return out;
}

void jpegFail(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    fixtureFailure("libjpeg", message);
}

#ifdef QUILLON_HAVE_GIF
int gifWrite(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    return length;
}

void gifCheck(int result, GifFileType* gif)
{
    if (result == GIF_ERROR)
        fixtureFailure("giflib", GifErrorString(gif->Error));
}
#endif

}  // namespace

std::string pngBytes(const PngSpec& spec)
{
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFail, pngWarn);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height),
                 spec.bitDepth, spec.colorType, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back(png_color{spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_color_16 key{};
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()),
                     nullptr);
    } else if (!spec.transparentColor.empty()) {
        if (spec.transparentColor.size() == 1) {
            key.gray = static_cast<png_uint_16>(spec.transparentColor[0]);
        } else {
            key.red = static_cast<png_uint_16>(spec.transparentColor[0]);
            key.green = static_cast<png_uint_16>(spec.transparentColor[1]);
            key.blue = static_cast<png_uint_16>(spec.transparentColor[2]);
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (spec.dpi > 0) {
        const auto perMetre = static_cast<png_uint_32>(spec.dpi / 0.0254 + 0.5);
        png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    }
    png_write_info(png, info);

    const int channels = channelsOf(spec.colorType);
    const size_t rowBytes = (static_cast<size_t>(spec.width) * channels * spec.bitDepth + 7) / 8;
    std::vector<std::vector<unsigned char>> rows(static_cast<size_t>(spec.height),
                                                 std::vector<unsigned char>(rowBytes));
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x)
            for (int c = 0; c < channels; ++c)
                putSample(rows[static_cast<size_t>(y)], static_cast<size_t>(x * channels + c), spec.bitDepth,
                          spec.pixel(x, y, c));
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string jpegBytes(const JpegSpec& spec)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    errors.error_exit = jpegFail;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(spec.width);
    info.image_height = static_cast<JDIMENSION>(spec.height);
    info.input_components = spec.components;
    info.in_color_space = spec.components == 1 ? JCS_GRAYSCALE : spec.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (spec.rgbWithoutTransform) {
        jpeg_set_colorspace(&info, JCS_RGB);
        info.write_Adobe_marker = FALSE;
    }
    if (spec.progressive)
        jpeg_simple_progression(&info);
    if (spec.dpi > 0) {
        info.write_JFIF_header = TRUE;
        info.density_unit = 1;
        info.X_density = info.Y_density = static_cast<UINT16>(spec.dpi);
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(spec.width * spec.components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < spec.width; ++x)
            for (int c = 0; c < spec.components; ++c)
                row[static_cast<size_t>(x * spec.components + c)] =
                    static_cast<unsigned char>(spec.pixel(x, y, c));
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

#ifdef QUILLON_HAVE_GIF
std::string gifBytes(const GifSpec& spec)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, gifWrite, &error);
    if (!gif)
        fixtureFailure("giflib", GifErrorString(error));
    const int entries = static_cast<int>(spec.palette.size() / 3);
    ColorMapObject* colors = GifMakeMapObject(entries, nullptr);
    for (int i = 0; i < entries; ++i) {
        colors->Colors[i].Red = spec.palette[static_cast<size_t>(3 * i)];
        colors->Colors[i].Green = spec.palette[static_cast<size_t>(3 * i + 1)];
        colors->Colors[i].Blue = spec.palette[static_cast<size_t>(3 * i + 2)];
    }
    EGifSetGifVersion(gif, true);
    gifCheck(EGifPutScreenDesc(gif, spec.width, spec.height, colors->BitsPerPixel, 0, colors), gif);
    for (int frame = 0; frame < spec.frames; ++frame) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = spec.transparentIndex;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        gifCheck(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension), gif);
        gifCheck(EGifPutImageDesc(gif, 0, 0, spec.width, spec.height, spec.interlaced, nullptr), gif);
        // giflib takes the rows in the order they are stored: by pass when interlaced.
        std::vector<int> order;
        if (spec.interlaced) {
            const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = starts[pass]; y < spec.height; y += steps[pass])
                    order.push_back(y);
        } else {
            for (int y = 0; y < spec.height; ++y)
                order.push_back(y);
        }
        std::vector<GifPixelType> row(static_cast<size_t>(spec.width));
        for (int y : order) {
            for (int x = 0; x < spec.width; ++x)
                row[static_cast<size_t>(x)] = static_cast<GifPixelType>(frame == 0 ? spec.pixel(x, y, 0) : 0);
            gifCheck(EGifPutLine(gif, row.data(), spec.width), gif);
        }
    }
    GifFreeMapObject(colors);
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        fixtureFailure("giflib", GifErrorString(error));
    return out;
}
#endif

#ifdef QUILLON_HAVE_TIFF
void writeTiff(const std::string& path, const TiffSpec& spec)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        fixtureFailure("libtiff", path.c_str());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(spec.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(spec.height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(spec.samples));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(8));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, spec.samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    if (spec.samples == 4) {
        uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (spec.dpi > 0) {
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(spec.dpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(spec.dpi));
    }
    auto sample = [&](int x, int y, int c) {
        return static_cast<unsigned char>(x < spec.width && y < spec.height ? spec.pixel(x, y, c) : 0);
    };
    if (spec.tiled) {
        const int tile = 16;
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, static_cast<uint32_t>(tile));
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, static_cast<uint32_t>(tile));
        std::vector<unsigned char> buffer(static_cast<size_t>(tile * tile * spec.samples));
        for (int ty = 0; ty < spec.height; ty += tile)
            for (int tx = 0; tx < spec.width; tx += tile) {
                for (int y = 0; y < tile; ++y)
                    for (int x = 0; x < tile; ++x)
                        for (int c = 0; c < spec.samples; ++c)
                            buffer[static_cast<size_t>((y * tile + x) * spec.samples + c)] =
                                sample(tx + x, ty + y, c);
                if (TIFFWriteTile(tiff, buffer.data(), static_cast<uint32_t>(tx), static_cast<uint32_t>(ty),
                                  0, 0) < 0)
                    fixtureFailure("libtiff", "TIFFWriteTile");
            }
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(4));
        std::vector<unsigned char> row(static_cast<size_t>(spec.width * spec.samples));
        for (int y = 0; y < spec.height; ++y) {
            for (int x = 0; x < spec.width; ++x)
                for (int c = 0; c < spec.samples; ++c)
                    row[static_cast<size_t>(x * spec.samples + c)] = sample(x, y, c);
            if (TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) < 0)
                fixtureFailure("libtiff", "TIFFWriteScanline");
        }
    }
    TIFFClose(tiff);
}
#endif

std::string pngHeaderOnly(unsigned width, unsigned height, int colorType, int bitDepth, bool interlaced)
{
    std::string header;
    for (unsigned value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header += static_cast<char>(value >> shift);
    header += static_cast<char>(bitDepth);
    header += static_cast<char>(colorType);
    header += '\0';
    header += '\0';
    header += static_cast<char>(interlaced ? 1 : 0);
    // A zlib stream of a few zero bytes: far too little for the size claimed.
    const std::string zeros(16, '\0');
    uLongf size = compressBound(static_cast<uLong>(zeros.size()));
    std::string compressed(size, '\0');
    compress(reinterpret_cast<Bytef*>(compressed.data()), &size, reinterpret_cast<const Bytef*>(zeros.data()),
             static_cast<uLong>(zeros.size()));
    compressed.resize(size);
    return std::string("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) + chunk("IDAT", compressed) +
           chunk("IEND", "");
}

std::string jpegClaimingSize(unsigned width, unsigned height)
{
    JpegSpec spec;
    spec.width = spec.height = 8;
    spec.pixel = [](int, int, int) { return 128u; };
    std::string jpeg = jpegBytes(spec);
    const size_t sof = jpeg.find("\xFF\xC0");
    if (sof == std::string::npos)
        throw std::runtime_error("no SOF0 in the test JPEG");
    // FF C0, length (2), precision (1), height (2), width (2).
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width);
    return jpeg;
}

}  // namespace imagetest
