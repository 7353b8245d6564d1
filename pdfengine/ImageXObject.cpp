#include "pdfengine/ImageXObject.h"

#include "pdfengine/EngineError.h"
#include "pdfengine/SampleCompressor.h"

namespace pdfengine {

namespace {

int componentCount(ImageColorSpace space)
{
    switch (space) {
        case ImageColorSpace::Rgb:
            return 3;
        case ImageColorSpace::Cmyk:
            return 4;
        default:
            return 1;
    }
}

QPDFObjectHandle deviceSpace(ImageColorSpace space)
{
    switch (space) {
        case ImageColorSpace::Rgb:
            return QPDFObjectHandle::newName("/DeviceRGB");
        case ImageColorSpace::Cmyk:
            return QPDFObjectHandle::newName("/DeviceCMYK");
        default:
            return QPDFObjectHandle::newName("/DeviceGray");
    }
}

QPDFObjectHandle colorSpace(const LoadedImage& image)
{
    if (image.colorSpace != ImageColorSpace::Indexed)
        return deviceSpace(image.colorSpace);
    const size_t entrySize = static_cast<size_t>(componentCount(image.paletteBase));
    const size_t entries = image.palette.size() / entrySize;
    auto array = QPDFObjectHandle::newArray();
    array.appendItem(QPDFObjectHandle::newName("/Indexed"));
    array.appendItem(deviceSpace(image.paletteBase));
    array.appendItem(QPDFObjectHandle::newInteger(static_cast<long long>(entries) - 1));
    array.appendItem(QPDFObjectHandle::newString(image.palette.substr(0, entries * entrySize)));
    return array;
}

// 16-bit Flate samples as 8-bit ones (the high byte of each), for versions
// that cannot carry 16 bits. Such samples never carry predictors.
std::shared_ptr<const std::string> reducedTo8Bits(const LoadedImage& image)
{
    const size_t samples = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                           static_cast<size_t>(componentCount(image.colorSpace));
    std::string wide;
    if (!inflateSamples(image.data, samples * 2, wide) || wide.size() != samples * 2)
        throw EngineError(err::Internal, "Internal error: image samples cannot be decompressed");
    SampleCompressor compressor;
    std::string narrow(samples, '\0');
    for (size_t i = 0; i < samples; ++i)
        narrow[i] = wide[2 * i];
    compressor.write(narrow);
    return std::make_shared<const std::string>(compressor.finish());
}

QPDFObjectHandle makeStream(QPDF& pdf, const std::shared_ptr<const LoadedImage>& image, int version)
{
    std::shared_ptr<const std::string> data(image, &image->data);
    int bits = image->bitsPerComponent;
    if (bits == 16 && version < 15) {
        data = reducedTo8Bits(*image);
        bits = 8;
    }

    QPDFObjectHandle stream = pdf.newStream();
    QPDFObjectHandle dict = stream.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image->width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image->height));
    dict.replaceKey("/ColorSpace", colorSpace(*image));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(bits));
    if (!image->decode.empty()) {
        auto decode = QPDFObjectHandle::newArray();
        for (double value : image->decode)
            decode.appendItem(value == static_cast<long long>(value)
                                  ? QPDFObjectHandle::newInteger(static_cast<long long>(value))
                                  : QPDFObjectHandle::newReal(value, 6, true));
        dict.replaceKey("/Decode", decode);
    }
    if (!image->colorKeyMask.empty()) {
        auto mask = QPDFObjectHandle::newArray();
        for (int value : image->colorKeyMask)
            mask.appendItem(QPDFObjectHandle::newInteger(value));
        dict.replaceKey("/Mask", mask);
    }

    QPDFObjectHandle filter, parameters = QPDFObjectHandle::newNull();
    if (image->filter == ImageFilter::Dct) {
        filter = QPDFObjectHandle::newName("/DCTDecode");
        if (image->colorTransform) {
            parameters = QPDFObjectHandle::newDictionary();
            parameters.replaceKey("/ColorTransform", QPDFObjectHandle::newInteger(*image->colorTransform));
        }
    } else {
        filter = QPDFObjectHandle::newName("/FlateDecode");
        if (image->pngPredictors) {
            parameters = QPDFObjectHandle::newDictionary();
            parameters.replaceKey("/Predictor", QPDFObjectHandle::newInteger(15));
            parameters.replaceKey("/Colors",
                                  QPDFObjectHandle::newInteger(image->colorSpace == ImageColorSpace::Indexed
                                                                   ? 1
                                                                   : componentCount(image->colorSpace)));
            parameters.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(bits));
            parameters.replaceKey("/Columns", QPDFObjectHandle::newInteger(image->width));
        }
    }
    stream.replaceStreamData(
        [data](Pipeline* out) {
            out->write(reinterpret_cast<const unsigned char*>(data->data()), data->size());
            out->finish();
        },
        filter, parameters);
    return stream;
}

}  // namespace

QPDFObjectHandle ImageXObject::make(QPDF& pdf, const std::shared_ptr<const LoadedImage>& image, int version)
{
    QPDFObjectHandle xobject = makeStream(pdf, image, version);
    if (image->softMask && version >= 14)
        xobject.getDict().replaceKey("/SMask", makeStream(pdf, image->softMask, version));
    return xobject;
}

}  // namespace pdfengine
