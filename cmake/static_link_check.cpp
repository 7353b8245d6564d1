// Links a function of each library that quillon takes from a static archive,
// so that an archive whose own dependencies are missing fails this trial and
// not the build. Never run.
#include <cstdio>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gif_lib.h>
#include <hb-subset.h>
#include <jpeglib.h>
#include <libdeflate.h>
#include <png.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>
#include <tiffio.h>
#include <zlib.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 0;
    QPDF pdf;
    pdf.processFile(argv[1]);
    QPDFWriter writer(pdf, argv[2]);
    writer.setR6EncryptionParameters("u", "o", true, true, true, true, true, true, qpdf_r3p_full, true);
    writer.write();
    FT_Library freetype = nullptr;
    FT_Init_FreeType(&freetype);
    FcConfig* config = FcInitLoadConfig();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    jpeg_error_mgr jpegErrors;
    jpeg_std_error(&jpegErrors);
    TIFF* tiff = TIFFOpen(argv[1], "r");
    int gifError = 0;
    GifFileType* gif = DGifOpenFileName(argv[1], &gifError);
    libdeflate_compressor* deflater = libdeflate_alloc_compressor(1);
    uLongf size = 0;
    compress2(nullptr, &size, nullptr, 0, 1);
    hb_subset_input_t* subset = hb_subset_input_create_or_fail();
    std::printf("%p %p %p %p %p %p %p\n", static_cast<void*>(freetype), static_cast<void*>(config),
                static_cast<void*>(png), static_cast<void*>(tiff), static_cast<void*>(gif),
                static_cast<void*>(deflater), static_cast<void*>(subset));
    return 0;
}
