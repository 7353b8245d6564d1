#include "pdfengine/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "pdfengine/ImageLoader.h"

namespace pdfengine {

namespace {

// What the header says, copied out of libjpeg's structure.
struct JpegHeader {
    unsigned width;
    unsigned height;
    int components;
    J_COLOR_SPACE colorSpace;
    int precision;
    bool arithmetic;
    bool adobeMarker;
    bool jfifMarker;
    int densityUnit;
    unsigned densityX;
    unsigned densityY;
    size_t headerEnd;  // bytes read up to the first scan's data
};

struct JpegErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings would go to standard error; corrupt data shows in the checks below.
void jpegQuiet(j_common_ptr) {}

// libjpeg reports errors by longjmp, so this frame holds nothing with a
// destructor: only C structures, cleaned up on both paths.
bool readJpegHeader(const unsigned char* data, size_t size, JpegHeader* header, char* message)
{
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegErrorExit;
    errors.manager.output_message = jpegQuiet;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "it holds no image");
        return false;
    }
    header->width = info.image_width;
    header->height = info.image_height;
    header->components = info.num_components;
    header->colorSpace = info.jpeg_color_space;
    header->precision = info.data_precision;
    header->arithmetic = info.arith_code;
    header->adobeMarker = info.saw_Adobe_marker;
    header->jfifMarker = info.saw_JFIF_marker;
    header->densityUnit = info.density_unit;
    header->densityX = info.X_density;
    header->densityY = info.Y_density;
    header->headerEnd = size - info.src->bytes_in_buffer;
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::shared_ptr<LoadedImage> JpegImage::read(std::string bytes, const std::string& fileName)
{
    JpegHeader header{};
    char message[JMSG_LENGTH_MAX];
    if (!readJpegHeader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &header, message))
        throw damagedImage(fileName, message);
    checkImageSize(header.width, header.height, fileName);
    if (header.precision != 8)
        throw ImageError(ImageErrorKind::Unsupported, "Image file '" + fileName + "' is a JPEG image of " +
                                                          std::to_string(header.precision) +
                                                          "-bit samples; PDF carries only 8-bit JPEG data");
    if (header.arithmetic)
        throw ImageError(ImageErrorKind::Unsupported,
                         "Image file '" + fileName +
                             "' is a JPEG image with arithmetic coding, which PDF "
                             "readers cannot decode");
    if (header.components != 1 && header.components != 3 && header.components != 4)
        throw ImageError(ImageErrorKind::Unsupported, "Image file '" + fileName + "' is a JPEG image of " +
                                                          std::to_string(header.components) +
                                                          " colour components (1, 3 or 4 are possible)");
    // Entropy-coded data never holds FF D9 (every FF in it is followed by 00
    // or a restart marker), so a file without it after the header was cut off.
    if (std::string_view(bytes).find("\xFF\xD9", header.headerEnd) == std::string_view::npos)
        throw damagedImage(fileName, "it ends before the end of its image data");

    auto image = std::make_shared<LoadedImage>();
    image->format = ImageFormat::Jpeg;
    image->width = static_cast<int>(header.width);
    image->height = static_cast<int>(header.height);
    image->bitsPerComponent = 8;
    image->filter = ImageFilter::Dct;
    switch (header.components) {
        case 1:
            image->colorSpace = ImageColorSpace::Gray;
            break;
        case 3:
            image->colorSpace = ImageColorSpace::Rgb;
            // Without an Adobe marker, PDF readers take three components for
            // YCbCr; libjpeg knows RGB files by their component ids.
            if (!header.adobeMarker && header.colorSpace == JCS_RGB)
                image->colorTransform = 0;
            break;
        default:
            image->colorSpace = ImageColorSpace::Cmyk;
            // Adobe applications write CMYK (and YCCK) inverted.
            if (header.adobeMarker)
                image->decode = {1, 0, 1, 0, 1, 0, 1, 0};
            break;
    }
    if (header.jfifMarker && header.densityX > 0 && header.densityY > 0) {
        if (header.densityUnit == 1) {
            image->dpiX = header.densityX;
            image->dpiY = header.densityY;
        } else if (header.densityUnit == 2) {
            image->dpiX = header.densityX * 2.54;
            image->dpiY = header.densityY * 2.54;
        }
    }
    image->data = std::move(bytes);
    return image;
}

}  // namespace pdfengine
