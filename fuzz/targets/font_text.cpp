// A font file from anyone (TrueType, OpenType, a collection), registered as the
// configuration run registers fonts and loaded with an encoding and options the
// input picks; a text of the input shown, measured and fitted with it; the document
// ended in memory, which subsets and embeds the font, and read back with qpdf.
//
// Input: encoding byte, flags byte, text length byte, the text, the font file.
#include <cmath>
#include <string>

#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "pdfengine/pdf_api.h"

namespace fuzztargets {

namespace {

constexpr const char* encodings[] = {
    "unicode",  "winansi",       "auto",           "builtin",     "glyphid",   "cp932",
    "macroman", "UniJIS-UCS2-H", "UniJIS-UTF16-H", "90ms-RKSJ-H", "iso8859-1", "UniJIS-UCS2-HW-H",
};

constexpr const char* fitOptions[] = {
    "boxsize={200 30} fitmethod=auto position=center showborder",
    "boxsize={50 10} fitmethod=meet rotate=90 margin=2",
    "fitmethod=nofit position={right top} charspacing=-3 horizscaling=300",
    "boxsize={1 1} fitmethod=clip wordspacing=1e6",
};

}  // namespace

int fontText(const uint8_t* data, size_t size)
{
    InputReader input(data, size);
    const char* encoding = encodings[input.byte() % std::size(encodings)];
    const uint8_t flags = input.byte();
    const size_t textLength = input.byte();
    const std::string text(input.rest().substr(0, textLength));
    const std::string_view font = input.rest().substr(text.size());

    const std::string path = scratchPath("font.ttf");
    writeBytes(path, font);

    const std::string options = std::string((flags & 1) ? "embedding " : "embedding=false ") +
                                ((flags & 2) ? "subsetting=false " : "") +
                                "faceindex=" + std::to_string((flags >> 2) & 3);
    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    PDF_set_option(p, ("FontOutline={fuzz=" + path + "}").c_str());
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 595, 842, "");
    const int handle = PDF_load_font(p, "fuzz", 0, encoding, options.c_str());
    if (handle != -1) {
        const double fontSize = (flags & 0x10) ? 0.5 : 12;
        PDF_setfont(p, handle, fontSize);
        PDF_set_text_pos(p, 50, 700);
        PDF_show2(p, text.data(), static_cast<int>(text.size()));
        const double width = PDF_stringwidth(p, text.c_str(), handle, fontSize);
        expect(std::isfinite(width), "a text width that is no number");
        PDF_fit_textline(p, text.data(), static_cast<int>(text.size()), 100, 400,
                         fitOptions[(flags >> 5) & 3]);
        // The same font again: the registry gives the handle it has.
        expect(PDF_load_font(p, "fuzz", 0, encoding, options.c_str()) == handle, "a font loaded twice");
    }
    finishAndReadBack(p);
    return 0;
}

}  // namespace fuzztargets
