#include "pdfengine/TiffImage.h"

#include "pdfengine/ImageLoader.h"

#ifdef QUILLON_HAVE_TIFF

#include <tiffio.h>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "pdfengine/SampleCompressor.h"

namespace pdfengine {

namespace {

struct TiffSource {
    const unsigned char* data;
    size_t size;
    size_t position;
    char message[512];
};

tmsize_t tiffRead(thandle_t handle, void* out, tmsize_t length)
{
    auto* source = static_cast<TiffSource*>(handle);
    if (length <= 0 || source->position >= source->size)
        return 0;
    size_t wanted = std::min(static_cast<size_t>(length), source->size - source->position);
    std::memcpy(out, source->data + source->position, wanted);
    source->position += wanted;
    return static_cast<tmsize_t>(wanted);
}

tmsize_t tiffWrite(thandle_t, void*, tmsize_t)
{
    return 0;
}

toff_t tiffSeek(thandle_t handle, toff_t offset, int whence)
{
    auto* source = static_cast<TiffSource*>(handle);
    uint64_t base = whence == SEEK_CUR ? source->position : whence == SEEK_END ? source->size : 0;
    uint64_t target = base + offset;
    // Offsets are unsigned: a "negative" one wraps around and lands far away.
    if (target > source->size)
        target = source->size;
    source->position = static_cast<size_t>(target);
    return target;
}

int tiffClose(thandle_t)
{
    return 0;
}

toff_t tiffSize(thandle_t handle)
{
    return static_cast<TiffSource*>(handle)->size;
}

int tiffMap(thandle_t, void**, toff_t*)
{
    return 0;
}

void tiffUnmap(thandle_t, void*, toff_t) {}

// Keeps the first error; warnings are dropped. Returning 1 keeps libtiff from
// printing them.
int tiffError(TIFF*, void* user, const char* module, const char* format, va_list arguments)
{
    auto* source = static_cast<TiffSource*>(user);
    if (source->message[0] == '\0') {
        int used = std::snprintf(source->message, sizeof source->message, "%s: ", module ? module : "TIFF");
        if (used > 0 && static_cast<size_t>(used) < sizeof source->message)
            std::vsnprintf(source->message + used, sizeof source->message - static_cast<size_t>(used), format,
                           arguments);
    }
    return 1;
}

int tiffWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffOptions {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    ~TiffOptions() { TIFFOpenOptionsFree(options); }
};

struct TiffFile {
    TIFF* tiff = nullptr;
    ~TiffFile()
    {
        if (tiff)
            TIFFClose(tiff);
    }
};

struct RgbaImage {
    TIFFRGBAImage image{};
    bool begun = false;
    ~RgbaImage()
    {
        if (begun)
            TIFFRGBAImageEnd(&image);
    }
};

double resolution(TIFF* tiff, ttag_t tag, uint16_t unit)
{
    float value = 0;
    if (unit == RESUNIT_NONE || !TIFFGetField(tiff, tag, &value) || !(value > 0 && value < 1e6))
        return 0;
    return unit == RESUNIT_CENTIMETER ? value * 2.54 : value;
}

}  // namespace

bool TiffImage::available()
{
    return true;
}

std::shared_ptr<LoadedImage> TiffImage::read(std::string_view bytes, const std::string& fileName)
{
    TiffSource source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, {}};
    TiffOptions options;
    if (!options.options)
        throw std::bad_alloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options.options, tiffError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options.options, tiffWarning, &source);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.options, static_cast<tmsize_t>(ImageLimits::maxBufferBytes));
    auto failed = [&](const char* fallback) {
        return damagedImage(fileName, source.message[0] ? source.message : fallback);
    };

    TiffFile file;
    // "m": no memory mapping; the reads go through tiffRead.
    file.tiff = TIFFClientOpenExt(fileName.c_str(), "rm", &source, tiffRead, tiffWrite, tiffSeek, tiffClose,
                                  tiffSize, tiffMap, tiffUnmap, options.options);
    if (!file.tiff)
        throw failed("it cannot be opened");
    TIFF* tiff = file.tiff;
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    checkImageSize(width, height, fileName);

    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tiff, reason))
        throw ImageError(
            ImageErrorKind::Unsupported,
            "Image file '" + fileName + "' is a TIFF image that cannot be read (" + reason + ")");
    RgbaImage rgba;
    if (!TIFFRGBAImageBegin(&rgba.image, tiff, 1, reason))
        throw failed(reason);
    rgba.begun = true;
    rgba.image.req_orientation = ORIENTATION_TOPLEFT;

    uint16_t photometric = rgba.image.photometric;
    uint16_t extraSamples = 0;
    uint16_t* extraTypes = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraSamples, &extraTypes);
    const bool gray = (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) &&
                      rgba.image.samplesperpixel - extraSamples == 1;
    const bool alpha = rgba.image.alpha != 0;

    auto image = std::make_shared<LoadedImage>();
    image->format = ImageFormat::Tiff;
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->bitsPerComponent = 8;
    image->colorSpace = gray ? ImageColorSpace::Gray : ImageColorSpace::Rgb;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    image->dpiX = resolution(tiff, TIFFTAG_XRESOLUTION, unit);
    image->dpiY = resolution(tiff, TIFFTAG_YRESOLUTION, unit);
    if (!(image->dpiX > 0 && image->dpiY > 0))
        image->dpiX = image->dpiY = 0;

    // Bands of about a million pixels keep the raster small whatever the size.
    const uint32_t band = std::max<uint32_t>(1, std::min<uint32_t>(height, (1u << 20) / width));
    std::vector<uint32_t> raster(size_t{width} * band);
    const size_t channels = gray ? 1 : 3;
    std::vector<unsigned char> colorRow(width * channels);
    std::vector<unsigned char> alphaRow(width);
    SampleCompressor color;
    SampleCompressor mask;
    bool anyTransparent = false;
    for (uint32_t top = 0; top < height; top += band) {
        const uint32_t rows = std::min(band, height - top);
        rgba.image.row_offset = static_cast<int>(top);
        rgba.image.col_offset = 0;
        if (!TIFFRGBAImageGet(&rgba.image, raster.data(), width, rows))
            throw failed("its image data cannot be decoded");
        for (uint32_t y = 0; y < rows; ++y) {
            const uint32_t* pixels = raster.data() + size_t{y} * width;
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t pixel = pixels[x];
                unsigned a = TIFFGetA(pixel);
                unsigned r = TIFFGetR(pixel), g = TIFFGetG(pixel), b = TIFFGetB(pixel);
                // libtiff hands out premultiplied colours; PDF wants them plain.
                if (alpha && a > 0 && a < 255) {
                    r = std::min(255u, (r * 255 + a / 2) / a);
                    g = std::min(255u, (g * 255 + a / 2) / a);
                    b = std::min(255u, (b * 255 + a / 2) / a);
                }
                if (gray) {
                    colorRow[x] = static_cast<unsigned char>(r);
                } else {
                    colorRow[3 * x] = static_cast<unsigned char>(r);
                    colorRow[3 * x + 1] = static_cast<unsigned char>(g);
                    colorRow[3 * x + 2] = static_cast<unsigned char>(b);
                }
                alphaRow[x] = static_cast<unsigned char>(a);
                if (a != 255)
                    anyTransparent = true;
            }
            color.write(colorRow.data(), colorRow.size());
            if (alpha)
                mask.write(alphaRow.data(), alphaRow.size());
        }
    }
    image->data = color.finish();
    if (alpha && anyTransparent) {
        auto softMask = std::make_shared<LoadedImage>();
        softMask->format = ImageFormat::Tiff;
        softMask->width = image->width;
        softMask->height = image->height;
        softMask->colorSpace = ImageColorSpace::Gray;
        softMask->data = mask.finish();
        image->softMask = std::move(softMask);
    }
    return image;
}

}  // namespace pdfengine

#else

namespace pdfengine {

bool TiffImage::available()
{
    return false;
}

std::shared_ptr<LoadedImage> TiffImage::read(std::string_view, const std::string& fileName)
{
    throw unreadableFormat(fileName, ImageFormat::Tiff);
}

}  // namespace pdfengine

#endif
