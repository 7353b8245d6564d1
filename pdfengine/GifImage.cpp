#include "pdfengine/GifImage.h"

#include "pdfengine/ImageLoader.h"

#ifdef QUILLON_HAVE_GIF

#include <gif_lib.h>
#include <cstring>
#include <new>
#include <vector>

#include "pdfengine/SampleCompressor.h"

namespace pdfengine {

namespace {

struct GifSource {
    const unsigned char* data;
    size_t size;
    size_t position;
};

int gifRead(GifFileType* gif, GifByteType* out, int length)
{
    auto* source = static_cast<GifSource*>(gif->UserData);
    size_t wanted = length > 0 ? static_cast<size_t>(length) : 0;
    size_t available = source->size - source->position;
    if (wanted > available)
        wanted = available;
    std::memcpy(out, source->data + source->position, wanted);
    source->position += wanted;
    return static_cast<int>(wanted);
}

std::string gifMessage(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "error " + std::to_string(code);
}

class GifReader {
public:
    GifReader(std::string_view bytes, const std::string& fileName)
        : source_{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0}, fileName_(fileName)
    {
        int error = 0;
        gif_ = DGifOpen(&source_, gifRead, &error);
        if (!gif_) {
            if (error == D_GIF_ERR_NOT_ENOUGH_MEM)
                throw std::bad_alloc();
            throw damagedImage(fileName_, gifMessage(error));
        }
    }
    ~GifReader()
    {
        int error = 0;
        DGifCloseFile(gif_, &error);
    }
    GifReader(const GifReader&) = delete;
    GifReader& operator=(const GifReader&) = delete;

    std::shared_ptr<LoadedImage> read();

private:
    void check(int result)
    {
        if (result == GIF_ERROR) {
            if (gif_->Error == D_GIF_ERR_NOT_ENOUGH_MEM)
                throw std::bad_alloc();
            throw damagedImage(fileName_, gifMessage(gif_->Error));
        }
    }
    std::shared_ptr<LoadedImage> readFrame(int transparent);

    GifSource source_;
    const std::string& fileName_;
    GifFileType* gif_ = nullptr;
};

std::shared_ptr<LoadedImage> GifReader::read()
{
    // The transparent colour of the first frame is set by a graphics control
    // extension before it.
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        check(DGifGetRecordType(gif_, &type));
        switch (type) {
            case IMAGE_DESC_RECORD_TYPE:
                return readFrame(transparent);
            case EXTENSION_RECORD_TYPE: {
                int code = 0;
                GifByteType* block = nullptr;
                check(DGifGetExtension(gif_, &code, &block));
                if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                    GraphicsControlBlock control{};
                    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                        transparent = control.TransparentColor;
                }
                while (block)
                    check(DGifGetExtensionNext(gif_, &block));
                break;
            }
            case TERMINATE_RECORD_TYPE:
                throw damagedImage(fileName_, "it holds no image");
            default:
                throw damagedImage(fileName_, "unknown record type");
        }
    }
}

std::shared_ptr<LoadedImage> GifReader::readFrame(int transparent)
{
    check(DGifGetImageDesc(gif_));
    const GifImageDesc& frame = gif_->Image;
    if (frame.Width < 0 || frame.Height < 0)
        throw damagedImage(fileName_, "a negative size");
    checkImageSize(static_cast<uint64_t>(frame.Width), static_cast<uint64_t>(frame.Height), fileName_);
    const ColorMapObject* colors = frame.ColorMap ? frame.ColorMap : gif_->SColorMap;
    if (!colors || colors->ColorCount <= 0 || !colors->Colors)
        throw damagedImage(fileName_, "an image without a colour table");

    auto image = std::make_shared<LoadedImage>();
    image->format = ImageFormat::Gif;
    image->width = frame.Width;
    image->height = frame.Height;
    image->bitsPerComponent = 8;
    image->colorSpace = ImageColorSpace::Indexed;
    image->paletteBase = ImageColorSpace::Rgb;
    for (int i = 0; i < colors->ColorCount && i < 256; ++i) {
        image->palette += static_cast<char>(colors->Colors[i].Red);
        image->palette += static_cast<char>(colors->Colors[i].Green);
        image->palette += static_cast<char>(colors->Colors[i].Blue);
    }
    if (transparent >= 0 && transparent < 256)
        image->colorKeyMask = {transparent, transparent};

    const size_t width = static_cast<size_t>(frame.Width);
    const size_t height = static_cast<size_t>(frame.Height);
    SampleCompressor compressor;
    if (frame.Interlace) {
        // Rows arrive in four passes: every 8th from 0, every 8th from 4,
        // every 4th from 2, every 2nd from 1.
        checkBufferSize(uint64_t{width} * height, fileName_);
        std::vector<GifPixelType> pixels(width * height);
        static constexpr size_t starts[] = {0, 4, 2, 1};
        static constexpr size_t steps[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (size_t y = starts[pass]; y < height; y += steps[pass])
                check(DGifGetLine(gif_, pixels.data() + y * width, frame.Width));
        compressor.write(pixels.data(), pixels.size());
    } else {
        std::vector<GifPixelType> row(width);
        for (size_t y = 0; y < height; ++y) {
            check(DGifGetLine(gif_, row.data(), frame.Width));
            compressor.write(row.data(), row.size());
        }
    }
    image->data = compressor.finish();
    return image;
}

}  // namespace

bool GifImage::available()
{
    return true;
}

std::shared_ptr<LoadedImage> GifImage::read(std::string_view bytes, const std::string& fileName)
{
    GifReader reader(bytes, fileName);
    return reader.read();
}

}  // namespace pdfengine

#else

namespace pdfengine {

bool GifImage::available()
{
    return false;
}

std::shared_ptr<LoadedImage> GifImage::read(std::string_view, const std::string& fileName)
{
    throw unreadableFormat(fileName, ImageFormat::Gif);
}

}  // namespace pdfengine

#endif
