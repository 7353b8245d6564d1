#include "pdfengine/PngImage.h"

#include <png.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "pdfengine/ImageLoader.h"
#include "pdfengine/SampleCompressor.h"

namespace pdfengine {

namespace {

struct PngSource {
    const unsigned char* data;
    size_t size;
    size_t position;
};

struct PngFailure {
    char message[256];
};

void pngRead(png_structp png, png_bytep out, size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->position)
        png_error(png, "the file ends before the image does");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

void pngError(png_structp png, png_const_charp message)
{
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// The steps that may fail inside libpng. libpng reports errors by longjmp, so
// these and pngStep hold nothing with a destructor.
void readInfoStep(png_structp png, png_infop info, void*)
{
    png_read_info(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

void readRowStep(png_structp png, png_infop, void* row)
{
    png_read_row(png, static_cast<png_bytep>(row), nullptr);
}

void readImageStep(png_structp png, png_infop, void* rows)
{
    png_read_image(png, static_cast<png_bytepp>(rows));
}

bool pngStep(png_structp png, png_infop info, void (*step)(png_structp, png_infop, void*), void* argument)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step(png, info, argument);
    return true;
}

// One sample of a row of `bits`-bit samples (1, 2, 4, 8 or 16).
unsigned sampleAt(const unsigned char* row, size_t index, int bits)
{
    if (bits == 8)
        return row[index];
    if (bits == 16)
        return static_cast<unsigned>(row[2 * index] << 8 | row[2 * index + 1]);
    const size_t bit = index * static_cast<size_t>(bits);
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << bits) - 1);
}

// PNG stores whole dots per metre, so 144 dpi comes back as 143.99: a value
// that close to a whole number of dots per inch was meant to be one.
double dpiFromDotsPerMetre(png_uint_32 dotsPerMetre)
{
    const double dpi = dotsPerMetre * 0.0254;
    const double whole = std::round(dpi);
    return std::abs(dpi - whole) < 0.02 ? whole : dpi;
}

class PngReader {
public:
    PngReader(std::string_view bytes, const std::string& fileName)
        : source_{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0}, fileName_(fileName)
    {
        failure_.message[0] = '\0';
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure_, pngError, pngWarning);
        if (!png_)
            throw std::bad_alloc();
        info_ = png_create_info_struct(png_);
        if (!info_) {
            png_destroy_read_struct(&png_, nullptr, nullptr);
            throw std::bad_alloc();
        }
        png_set_read_fn(png_, &source_, pngRead);
    }
    ~PngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    std::shared_ptr<LoadedImage> read();

private:
    void step(void (*function)(png_structp, png_infop, void*), void* argument)
    {
        if (!pngStep(png_, info_, function, argument))
            throw damagedImage(fileName_, failure_.message);
    }
    // Splits one decoded row into colour samples and, when the image has
    // transparency, alpha samples.
    void processRow(const unsigned char* row);

    // The IDAT chunks' data, one zlib stream.
    std::string imageData() const;

    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    PngSource source_;
    PngFailure failure_;
    const std::string& fileName_;

    size_t width_ = 0;
    int bits_ = 8;
    int colorType_ = 0;
    int colorChannels_ = 1;
    // Transparency: an alpha channel, or tRNS (a colour key or palette alphas).
    bool alphaChannel_ = false;
    bool transparencyChunk_ = false;
    png_color_16 transparentColor_{};
    std::vector<unsigned char> paletteAlpha_;
    bool anyTransparent_ = false;
    bool passThrough_ = false;

    std::string colorRow_;
    std::string alphaRow_;
    SampleCompressor color_;
    SampleCompressor alpha_;
};

std::shared_ptr<LoadedImage> PngReader::read()
{
    step(readInfoStep, nullptr);
    const png_uint_32 width = png_get_image_width(png_, info_);
    const png_uint_32 height = png_get_image_height(png_, info_);
    checkImageSize(width, height, fileName_);
    width_ = width;
    bits_ = png_get_bit_depth(png_, info_);
    colorType_ = png_get_color_type(png_, info_);

    auto image = std::make_shared<LoadedImage>();
    image->format = ImageFormat::Png;
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->bitsPerComponent = bits_;
    switch (colorType_) {
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            alphaChannel_ = true;
            [[fallthrough]];
        case PNG_COLOR_TYPE_GRAY:
            image->colorSpace = ImageColorSpace::Gray;
            colorChannels_ = 1;
            break;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            alphaChannel_ = true;
            [[fallthrough]];
        case PNG_COLOR_TYPE_RGB:
            image->colorSpace = ImageColorSpace::Rgb;
            colorChannels_ = 3;
            break;
        case PNG_COLOR_TYPE_PALETTE: {
            image->colorSpace = ImageColorSpace::Indexed;
            colorChannels_ = 1;
            png_colorp palette = nullptr;
            int entries = 0;
            if (!png_get_PLTE(png_, info_, &palette, &entries) || entries <= 0)
                throw damagedImage(fileName_, "a palette image without a palette");
            image->paletteBase = ImageColorSpace::Rgb;
            for (int i = 0; i < entries && i < 256; ++i) {
                image->palette += static_cast<char>(palette[i].red);
                image->palette += static_cast<char>(palette[i].green);
                image->palette += static_cast<char>(palette[i].blue);
            }
            break;
        }
        default:
            throw damagedImage(fileName_, "unknown colour type " + std::to_string(colorType_));
    }

    if (!alphaChannel_ && png_get_valid(png_, info_, PNG_INFO_tRNS)) {
        png_bytep alphas = nullptr;
        int count = 0;
        png_color_16p key = nullptr;
        png_get_tRNS(png_, info_, &alphas, &count, &key);
        if (colorType_ == PNG_COLOR_TYPE_PALETTE && alphas && count > 0) {
            paletteAlpha_.assign(alphas, alphas + count);
            transparencyChunk_ = true;
        } else if (colorType_ != PNG_COLOR_TYPE_PALETTE && key) {
            transparentColor_ = *key;
            transparencyChunk_ = true;
        }
    }

    png_uint_32 dpmX = 0, dpmY = 0;
    int unit = 0;
    if (png_get_pHYs(png_, info_, &dpmX, &dpmY, &unit) && unit == PNG_RESOLUTION_METER && dpmX > 0 &&
        dpmY > 0) {
        image->dpiX = dpiFromDotsPerMetre(dpmX);
        image->dpiY = dpiFromDotsPerMetre(dpmY);
    }

    // The file's own compressed data serves PDF as it is (with PNG predictors)
    // when the colour samples are all it holds, in order and at most 8 bits
    // deep (16-bit data may have to be reduced for older versions). The rows
    // are decoded all the same: that checks the data, and tRNS needs them.
    passThrough_ = !alphaChannel_ && bits_ <= 8 && png_get_interlace_type(png_, info_) == PNG_INTERLACE_NONE;

    const size_t rowBytes = png_get_rowbytes(png_, info_);
    colorRow_.resize((width_ * static_cast<size_t>(colorChannels_ * bits_) + 7) / 8);
    if (alphaChannel_)
        alphaRow_.resize(width_ * static_cast<size_t>(bits_ / 8));
    else if (transparencyChunk_)
        alphaRow_.resize(width_);

    if (png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE) {
        // The passes fill the whole image in turn, so it is decoded at once.
        checkBufferSize(uint64_t{rowBytes} * height + uint64_t{height} * sizeof(png_bytep), fileName_);
        std::vector<unsigned char> pixels(rowBytes * height);
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixels.data() + y * rowBytes;
        step(readImageStep, rows.data());
        for (png_uint_32 y = 0; y < height; ++y)
            processRow(rows[y]);
    } else {
        std::vector<unsigned char> row(rowBytes);
        for (png_uint_32 y = 0; y < height; ++y) {
            step(readRowStep, row.data());
            processRow(row.data());
        }
    }

    image->data = passThrough_ ? imageData() : color_.finish();
    image->pngPredictors = passThrough_;
    if ((alphaChannel_ || transparencyChunk_) && anyTransparent_) {
        auto mask = std::make_shared<LoadedImage>();
        mask->format = ImageFormat::Png;
        mask->width = image->width;
        mask->height = image->height;
        mask->bitsPerComponent = alphaChannel_ ? bits_ : 8;
        mask->colorSpace = ImageColorSpace::Gray;
        mask->data = alpha_.finish();
        image->softMask = std::move(mask);
    }
    return image;
}

std::string PngReader::imageData() const
{
    // libpng has read the chunks already, so their lengths are sound; they are
    // checked again all the same.
    std::string data;
    const unsigned char* bytes = source_.data;
    size_t position = 8;
    while (position + 12 <= source_.size) {
        const size_t length = size_t{bytes[position]} << 24 | size_t{bytes[position + 1]} << 16 |
                              size_t{bytes[position + 2]} << 8 | bytes[position + 3];
        if (length > source_.size - position - 12)
            break;
        const std::string_view type(reinterpret_cast<const char*>(bytes + position + 4), 4);
        if (type == "IDAT")
            data.append(reinterpret_cast<const char*>(bytes + position + 8), length);
        else if (type == "IEND")
            break;
        position += 12 + length;
    }
    return data;
}

void PngReader::processRow(const unsigned char* row)
{
    if (alphaChannel_) {
        // Interleaved samples: colour channels then alpha, 1 or 2 bytes each.
        const size_t sampleBytes = static_cast<size_t>(bits_ / 8);
        const size_t pixelBytes = sampleBytes * static_cast<size_t>(colorChannels_ + 1);
        const size_t colorBytes = sampleBytes * static_cast<size_t>(colorChannels_);
        const unsigned opaque = bits_ == 16 ? 0xFFFF : 0xFF;
        for (size_t x = 0; x < width_; ++x) {
            const unsigned char* pixel = row + x * pixelBytes;
            std::memcpy(colorRow_.data() + x * colorBytes, pixel, colorBytes);
            std::memcpy(alphaRow_.data() + x * sampleBytes, pixel + colorBytes, sampleBytes);
            if (sampleAt(pixel + colorBytes, 0, bits_) != opaque)
                anyTransparent_ = true;
        }
        alpha_.write(alphaRow_);
        color_.write(colorRow_);
        return;
    }
    if (!passThrough_)
        color_.write(row, colorRow_.size());
    if (!transparencyChunk_)
        return;
    for (size_t x = 0; x < width_; ++x) {
        unsigned char alpha = 0xFF;
        if (colorType_ == PNG_COLOR_TYPE_PALETTE) {
            const unsigned index = sampleAt(row, x, bits_);
            if (index < paletteAlpha_.size())
                alpha = paletteAlpha_[index];
        } else if (colorType_ == PNG_COLOR_TYPE_GRAY) {
            if (sampleAt(row, x, bits_) == transparentColor_.gray)
                alpha = 0;
        } else if (sampleAt(row, 3 * x, bits_) == transparentColor_.red &&
                   sampleAt(row, 3 * x + 1, bits_) == transparentColor_.green &&
                   sampleAt(row, 3 * x + 2, bits_) == transparentColor_.blue) {
            alpha = 0;
        }
        if (alpha != 0xFF)
            anyTransparent_ = true;
        alphaRow_[x] = static_cast<char>(alpha);
    }
    alpha_.write(alphaRow_);
}

}  // namespace

std::shared_ptr<LoadedImage> PngImage::read(std::string_view bytes, const std::string& fileName)
{
    PngReader reader(bytes, fileName);
    return reader.read();
}

}  // namespace pdfengine
