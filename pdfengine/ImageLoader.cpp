#include "pdfengine/ImageLoader.h"

#include "pdfengine/GifImage.h"
#include "pdfengine/JpegImage.h"
#include "pdfengine/PngImage.h"
#include "pdfengine/TiffImage.h"

namespace pdfengine {

const char* imageFormatName(ImageFormat format)
{
    switch (format) {
        case ImageFormat::Jpeg:
            return "JPEG";
        case ImageFormat::Png:
            return "PNG";
        case ImageFormat::Gif:
            return "GIF";
        case ImageFormat::Tiff:
            return "TIFF";
    }
    return "unknown";
}

std::optional<ImageFormat> ImageLoader::detect(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xD8\xFF"))
        return ImageFormat::Jpeg;
    if (bytes.starts_with("\x89PNG\r\n\x1A\n"))
        return ImageFormat::Png;
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"))
        return ImageFormat::Gif;
    // Classic TIFF (42) and BigTIFF (43), in either byte order.
    using namespace std::string_view_literals;
    if (bytes.starts_with("II*\0"sv) || bytes.starts_with("MM\0*"sv) || bytes.starts_with("II+\0"sv) ||
        bytes.starts_with("MM\0+"sv))
        return ImageFormat::Tiff;
    return std::nullopt;
}

bool ImageLoader::supported(ImageFormat format)
{
    switch (format) {
        case ImageFormat::Gif:
            return GifImage::available();
        case ImageFormat::Tiff:
            return TiffImage::available();
        default:
            return true;
    }
}

std::shared_ptr<LoadedImage> ImageLoader::load(std::string bytes, const std::string& fileName,
                                               std::optional<ImageFormat> requested)
{
    std::optional<ImageFormat> format = detect(bytes);
    if (!format)
        throw ImageError(ImageErrorKind::UnknownFormat,
                         "Image file '" + fileName + "' is not a JPEG, PNG, GIF or TIFF image");
    if (requested && *requested != *format)
        throw typeMismatch(fileName, *format, *requested);
    if (!supported(*format))
        throw unreadableFormat(fileName, *format);
    switch (*format) {
        case ImageFormat::Jpeg:
            return JpegImage::read(std::move(bytes), fileName);
        case ImageFormat::Png:
            return PngImage::read(bytes, fileName);
        case ImageFormat::Gif:
            return GifImage::read(bytes, fileName);
        case ImageFormat::Tiff:
            return TiffImage::read(bytes, fileName);
    }
    throw ImageError(ImageErrorKind::UnknownFormat, "Image file '" + fileName + "' has an unknown format");
}

ImageError damagedImage(const std::string& fileName, const std::string& detail)
{
    return ImageError(ImageErrorKind::Damaged, "Image file '" + fileName + "' is damaged (" + detail + ")");
}

ImageError typeMismatch(const std::string& fileName, ImageFormat actual, ImageFormat requested)
{
    return ImageError(ImageErrorKind::TypeMismatch, "Image file '" + fileName + "' is a " +
                                                        imageFormatName(actual) + " image, not " +
                                                        imageFormatName(requested));
}

ImageError unreadableFormat(const std::string& fileName, ImageFormat format)
{
    return ImageError(ImageErrorKind::Unsupported, "Image file '" + fileName + "' is a " +
                                                       imageFormatName(format) +
                                                       " image, which this build cannot read");
}

void checkImageSize(uint64_t width, uint64_t height, const std::string& fileName)
{
    if (width == 0 || height == 0)
        throw damagedImage(fileName,
                           "it has no pixels: " + std::to_string(width) + " x " + std::to_string(height));
    // Both are at most 2^32, so the product cannot overflow.
    if (width * height > ImageLimits::maxPixels)
        throw ImageError(ImageErrorKind::TooLarge,
                         "Image file '" + fileName + "' is too large (" + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels; at most 100 megapixels)");
}

void checkBufferSize(uint64_t bytes, const std::string& fileName)
{
    if (bytes > ImageLimits::maxBufferBytes)
        throw ImageError(ImageErrorKind::TooLarge, "Image file '" + fileName +
                                                       "' is too large (its samples need " +
                                                       std::to_string(bytes >> 20) + " MB; at most 256 MB)");
}

}  // namespace pdfengine
