// Writes the seed corpora of fuzz/seeds/<target>/: small inputs that reach every
// part of each target, made here rather than copied from anywhere.
//
//   fuzz_make_seeds <folder>      (make fuzz-seeds writes fuzz/seeds)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "fuzz/targets/FuzzFixtures.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/FontSubsetter.h"
#include "pdfengine/pdf_api.h"
#include "tests/fonts/CffFontBuilder.h"
#include "tests/fonts/FontTestSupport.h"
#include "tests/images/ImageFixtures.h"
#include "tests/support/PdfFixtures.h"

namespace fs = std::filesystem;

namespace {

fs::path root;

void seed(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A literal with its NUL bytes.
template <size_t N>
std::string bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// 請求書
const std::string invoice = "\x90\xBF\x8B\x81\x8F\x91";
// 株式会社　テスト
const std::string company =
    "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x81@\x83"
    "e\x83X\x83g";
// ｶﾞｲｼｬ ﾊﾟﾝ
const std::string halfWidth = "\xB6\xDE\xB2\xBC\xAC \xCA\xDF\xDD";

void configurationSeeds()
{
    const std::string t = "configuration";
    seed(t, "minimal.conf", "[PDF]\r\npdfName=out.pdf\r\npages=1\r\n");
    seed(t, "full.conf",
         "; every key of every section\r\n"
         "[PDF]\r\nlog_file=run.log\r\nlog_type=0x23\r\nlog_size=100000\r\npdfName=out.pdf\r\n"
         "pdiName=form.pdf\r\nauthor=" +
             company + "\r\ncreator=\r\ntitle=\"" + invoice +
             "\"\r\n"
             "masterPwd=m\r\nuserPwd=u\r\npermissions=noprint nocopy\r\ncompatibility=1.6\r\n"
             "trace=trace.txt\r\npath=fonts\r\npages=2\r\n"
             "[PAGE_1]\r\nwidth=2102\r\nheight=2975\r\npdiPage=1\r\npdiOption=adjustpage\r\n"
             "pdiProcess=action=copyoutputintent\r\nobjects=4\r\n"
             "[PUT_1_1]\r\nobject_type=text\r\nx=200\r\ny=300\r\nalign=center middle\r\ncharspacing=2\r\n"
             "wordspacing=3\r\ntext=" +
             invoice +
             "\r\nface=HeiseiMin-W3\r\nencoding=UniJIS-UCS2-H\r\nsize=12\r\n"
             "option=embedding\r\ncolor=FF0000\r\n"
             "[PUT_1_2]\r\nobject_type=block\r\nname=customer\r\ntype=image\r\ndescription=logo.png\r\n"
             "options=fitmethod=meet\r\nface=Helvetica\r\n"
             "[PUT_1_3]\r\nobject_type=line\r\nleft=100\r\ntop=100\r\nright=1000\r\nbottom=100\r\nwidth=5\r\n"
             "cap=4\r\njoin=8\r\nblack=30\r\nwhite=20\r\nmiter=10\r\ncolor=0000ff\r\n"
             "[PUT_1_4]\r\nobject_type=rect\r\nleft=100\r\ntop=200\r\nright=300\r\nbottom=400\r\nbgcolor="
             "eeeeee\r\n"
             "[PAGE_2]\r\nwidth=1000\r\nheight=1000\r\nobjects=1\r\n"
             "[PUT_2_1]\r\nobject_type=text\r\nx=10\r\ny=10\r\nalign=right bottom\r\ntext=" +
             halfWidth + "\r\n");
    seed(t, "utf8-bom.conf", "\xEF\xBB\xBF[PDF]\npdfName=\xE8\xAB\x8B\xE6\xB1\x82.pdf\npages=1\n");
    seed(t, "utf16-bom.conf",
         bytes("\xFF\xFE[\0P\0D\0F\0]\0\n\0p\0d\0f\0N\0a\0m\0e\0=\0x\0\n\0p\0a\0g\0e\0s\0=\0"
               "1\0\n\0"));
    seed(t, "missing-object.conf",
         "[PDF]\npdfName=a.pdf\npages=1\n[PAGE_1]\nobjects=3\n[PUT_1_1]\nobject_type=line\n");
    seed(t, "bad-type.conf",
         "[PDF]\npdfName=a.pdf\npages=1\n[PAGE_1]\nobjects=1\n[PUT_1_1]\nobject_type=Text\n");
    seed(t, "no-master.conf", "[PDF]\npdfName=a.pdf\nuserPwd=x\npages=1\n");
    seed(t, "numbers.conf",
         "[pdf]\n  PDFNAME = ' spaced.pdf '\npages = 0x2\nlog_type=zz\nlog_size=-1\n[page_1]\nwidth=-5\n"
         "height=0b101\npdiPage=65536\nobjects=-3\n[PAGE_2]\nobjects=0o7\n");
    seed(t, "textfile.conf",
         "[PDF]\npdfName=a.pdf\npages=1\n[PAGE_1]\nobjects=2\n[PUT_1_1]\nobject_type=text\ntextfile=.\n"
         "[PUT_1_2]\nobject_type=text\ntextfile=/dev/null\n");
    seed(t, "long-value.conf",
         "[PDF]\npdfName=" + std::string(300, 'a') + "\ntitle=" + std::string(127, '\x82') + "\npages=1\n");
}

void optionListSeeds()
{
    const std::string t = "option_list";
    // The first byte picks the table (the order of fuzz/targets/option_list.cpp).
    const std::vector<std::string> lists = {
        "b n=1.5 i=-3 k=beta kl={alpha gamma} s={a b} nl={1 2 3} c={rgb 1 0 0} "
        "o={n=0.5 items={a {b c}} color={gray 0.5} flag} l={x {y z}}",
        "hypertextencoding=unicode SearchPath={{/a b} {/c}} FontOutline={A=a.ttf} errorpolicy=return "
        "deterministic logging={filename=x.txt remove}",
        "filename={t t.txt} remove enable=false",
        "version",
        "compatibility=1.6 masterpassword=m userpassword=u permissions={noprint nocopy plainmetadata}",
        "",
        "linewidth=2 linecap=1 linejoin=2 miterlimit=3 dasharray={3 2} dashphase=1 fillcolor={cmyk 0 0 0 1} "
        "strokecolor={rgb 0 0 1}",
        "password={a b} repair=never",
        "pdiusebox=trim",
        "adjustpage boxsize={100 50} fitmethod=meet position={center top} scale={1 2} rotate=90 "
        "orientate=west",
        "action=copyoutputintent",
        "embedding subsetting=false faceindex=2",
        "fontsize=12 charspacing=1 wordspacing=2 horizscaling=150 leading=14 textrise=3 textrendering=1 "
        "fillcolor={rgb 1 0 0} strokecolor={gray 0.5}",
        "position={center bottom} boxsize={80 20} margin={1 2} fitmethod=auto shrinklimit=50 rotate=30 "
        "textlen=5 showborder fontsize=8 fillcolor={cmyk 0 1 0 0} charspacing=0.5 horizscaling=80",
    };
    for (size_t i = 0; i < lists.size(); ++i)
        seed(t, "table" + std::to_string(i), std::string(1, static_cast<char>(i)) + lists[i]);
    seed(t, "utf8-mark",
         std::string(1, '\x04') +
             "\xEF\xBB\xBF"
             "masterpassword={\xE6\x97\xA5\xE6\x9C\xAC}");
    seed(t, "encrypted-2.0", std::string(1, '\x04') + "compatibility=2.0 masterpassword=a userpassword=b");
    seed(t, "errors", std::string(1, '\x00') + "n=1,5 k=delta {x} = c={rgb 2 0 0} }");
}

void pcosSeeds()
{
    const std::string t = "pcos_path";
    const std::vector<std::string> paths = {
        "/Root/Pages/Count",
        "length:pages",
        "pages[0]/blocks[1]/Name",
        "pages[0]/blocks/customer/fontsize",
        "length:pages[0]/blocks",
        "type:pages[1]/Resources/XObject/Im1",
        "pages[1]/Resources/XObject/Im1",
        "pages[1]/width",
        "pages[1]/height",
        "pdfversion",
        "filename",
        "encrypt/description",
        "encrypt/keylength",
        "/Info/Title",
        "/Info/List[1][1]",
        "length:/Info/List",
        "type:/Info/List[2]/K",
        "trailer/Root/Pages/Kids[0]/Contents",
        "pages[0]/blocks/#E4#BD#8F#E6#89#80/Rect[2]",
        "pages[1]/blocks/a#2Fb/strokecolor",
        "pages[0]/blocks[9]/Name",
        "pages[x]",
    };
    for (size_t i = 0; i < paths.size(); ++i)
        seed(t, "path" + std::to_string(i), std::string(1, static_cast<char>(i % 2)) + paths[i]);
}

// A document the engine itself writes: two pages of graphics, in memory.
std::string engineDocument()
{
    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    PDF_begin_document(p, "", 0, "compatibility=1.4");
    for (int page = 0; page < 2; ++page) {
        PDF_begin_page_ext(p, 200, 100 + page * 50, "");
        PDF_setcolor(p, "fillstroke", "rgb", 1, 0, 0, 0);
        PDF_rect(p, 10, 10, 50, 50);
        PDF_fill(p);
        PDF_end_page_ext(p, "");
    }
    PDF_end_document(p, "");
    long size = 0;
    const char* bytes = PDF_get_buffer(p, &size);
    std::string document(bytes, static_cast<size_t>(size));
    PDF_delete(p);
    return document;
}

void pdiSeeds(const fs::path& scratch)
{
    const std::string t = "pdi_document";
    fuzztargets::writeBlocksDocument((scratch / "blocks.pdf").string(), false);
    seed(t, "blocks.pdf", readAll(scratch / "blocks.pdf"));
    fuzztargets::writeBlocksDocument((scratch / "encrypted.pdf").string(), true);
    seed(t, "encrypted.pdf", readAll(scratch / "encrypted.pdf"));
    seed(t, "engine.pdf", engineDocument());

    // Hand-written files: inherited attributes, a rotated page, a broken
    // cross-reference table, a page tree loop.
    const std::string catalog = "<< /Type /Catalog /Pages 2 0 R >>";
    seed(t, "inherited.pdf",
         fixtures::rawPdf({catalog,
                           "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 300 200] /Rotate 270 "
                           "/Resources << >> >>",
                           "<< /Type /Page /Parent 2 0 R /Contents 5 0 R /CropBox [-10 -10 100 100] >>",
                           "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 0 0] >>",
                           "<< /Length 17 >>\nstream\n0 0 m 10 10 l S\n\nendstream"}));
    std::string broken = fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                           "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >>"});
    broken.replace(broken.find("xref"), 4, "xrfe");
    seed(t, "broken-xref.pdf", broken);
    seed(t, "loop.pdf",
         fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [2 0 R 3 0 R] /Count 99 >>",
                           "<< /Type /Page /Parent 2 0 R >>"}));
    seed(
        t, "flate-blocks.pdf",
        fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                          "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R "
                          "/PieceInfo << /PDFlib << /Private << /Blocks << /b << /Type /Block /Subtype /Text "
                          "/Rect [1 1 50 50] >> >> >> >> >> >>",
                          "<< /Length 12 /Filter /ASCIIHexDecode >>\nstream\n3020302072650A>\nendstream"}));
}

void blockSeeds()
{
    const std::string t = "block_reader";
    const std::string chain = "<< /Type /Page /PieceInfo << /PDFlib << /Private << /Blocks ";
    seed(t, "documented",
         chain +
             "<< /customer << /Type /Block /Name (customer) /Subtype /Text /Rect [56 700 356 724] "
             "/fontname /HeiseiKakuGo-W5 /fontsize 12 /fillcolor [0 0 0.4] /position [/left /center] "
             "/fitmethod /auto /margin 2 >> "
             "/#E4#BD#8F#E6#89#80 << /Type /Block /Name <FEFF4F4F6240> /Subtype /Text "
             "/Rect [56 650 556 690] /textflow true /defaulttext <FEFF672A8A185165> "
             "/bordercolor [/DeviceGray 0.5] /linewidth 0.5 >> "
             "/logo << /Type /Block /Subtype /Image /Rect [450 760 540 820] /fitmethod (meet) "
             "/position [50 50] /defaultimage (logo.png) >> >> >> >> >> >>");
    seed(t, "indirect",
         chain +
             "2 0 R >> >> >> >>endobj<< /a 3 0 R /b << /Subtype (pdf) /Rect [9 9 1 1] /FontSize -1 "
             "/Position (0 50) /Margin [1 2] /Rotate 45 /CharSpacing 1 /WordSpacing 2 /HorizScaling 50 "
             "/bgcolor [/DeviceCMYK 0 0 0 1] /strokecolor [rgb 1 0 0] >> >>endobj"
             "<< /Name /\x83u\x83\x8D\x83"
             "b\x83N /Subtype /Image /Rect [0 0 1 1] /textflow (false) >>");
    seed(t, "problems",
         chain +
             "<< /x << /Subtype /Other /Rect [0 0 (a) 1] /fillcolor [2] /fitmethod /squeeze /position [/top "
             "/left] /margin -1 /Name () >> /y 5 /\xFF\xFE << /Name <FFFE4100> >> >> >> >> >> >>");
    seed(t, "shared", chain + "<< /a 2 0 R /b 2 0 R >> >> >> >>endobj<< /Rect [0 0 1 1] /Subtype /Text >>");
}

void codePageSeeds()
{
    const std::string t = "code_pages";
    // flags, low (2 bytes), high (2 bytes), buffer size, default character, newline, text
    auto input = [](char flags, unsigned low, unsigned high, char size, const std::string& fallback,
                    const std::string& text) {
        std::string s(1, flags);
        s += static_cast<char>(low & 0xFF);
        s += static_cast<char>(low >> 8);
        s += static_cast<char>(high & 0xFF);
        s += static_cast<char>(high >> 8);
        s += size;
        return s + fallback + "\n" + text;
    };
    seed(t, "japanese", input(0x08, 0x20, 0xDF, 16, "", invoice + company + halfWidth));
    seed(t, "to-single", input(0x00, 0x8140, 0x8396, 8, "\x81\x48", company + "\x82\xA0\x82`\x81[abc"));
    seed(t, "extensions",
         input(0x18, 0x21, 0x7E, 5, "?",
               "\x87\x40\x87\x90\xED\x40\xFA\x40\xFA\x5B\xFB\xFC\xFC\x4B\xF0\x40\xF9\xFC"));
    seed(t, "iso2022", input(0x20, 0, 0, 3, "", "\x1B$B$3$s$K$A$O\x1B(B abc \x1B$B\x1B(B"));
    seed(t, "euc", input(0x28, 0, 0, 0, "", "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF a"));
    seed(t, "utf8",
         input(0x30, 0, 0xFFFF, 10, "#",
               "Caf\xC3\xA9 \xE3\x81\x8B\xE3\x82\x99 A\xCC\x80 \xF0\x9F\x98\x80 \xE2\x80\x94 \xC2\xA5"));
    seed(t, "broken",
         input(static_cast<char>(0x89), 1, 0, 1, "\x81", bytes("\x81\x00\x82\x7F\xFD\xFE\xFF\x80\xA0\x81")));
}

// A small TrueType font: a few glyphs of an installed Japanese font, with the
// tables a simple font needs.
std::string smallTrueType()
{
    auto font = pdfengine::FontFile::load(fonttest::kGothic);
    std::set<uint32_t> glyphs;
    for (char32_t c : std::u32string(U"Aag .1\u8acb\u6c42\u66f8\u30c6\u30b9\u30c8\uff71"))
        glyphs.insert(font->glyphFor(c));
    return pdfengine::FontSubsetter::subset(*font, glyphs).data;
}

void fontSeeds()
{
    const std::string t = "font_text";
    // encoding (index into the target's list), flags, text length, text, font
    auto input = [](char encoding, char flags, const std::string& text, const std::string& font) {
        return std::string{encoding, flags, static_cast<char>(text.size())} + text + font;
    };
    const std::string trueType = smallTrueType();
    const std::string cff = fonttest::buildCffFont(
        "FuzzSans-Regular", {{U'A', 600}, {U'a', 500}, {U' ', 250}, {U'\u8acb', 1000}, {U'\uff71', 500}});
    const std::string cid =
        fonttest::buildCffFont("FuzzSans-CID", {{U'A', 600, 34}, {U'\u8acb', 1000, 3000}}, true);
    // UTF-16LE "Aa 請"
    const std::string utf16le = bytes("A\0a\0 \0\xcb\x8a");
    seed(t, "truetype-unicode", input(0, 0x01, utf16le, trueType));
    seed(t, "truetype-winansi", input(1, 0x21, "Aag .1", trueType));
    seed(t, "truetype-cp932", input(5, 0x41, invoice + halfWidth, trueType));
    seed(t, "truetype-cmap", input(9, 0x60, invoice + "A", trueType));
    seed(t, "cff-unicode", input(0, 0x01, utf16le, cff));
    seed(t, "cff-builtin", input(3, 0x03, "Aa", cff));
    seed(t, "cid-utf16", input(8, 0x01, bytes("\x8a\xcb\0A"), cid));
    seed(t, "cid-glyphid", input(4, 0x11, bytes("\x01\0\x02\0"), cid));
    // Face 1 of a collection of both.
    seed(t, "collection", input(0, 0x05, utf16le, fonttest::makeCollection(trueType, cff)));
}

void imageSeeds(const fs::path& scratch)
{
    using namespace imagetest;
    const std::string t = "image_file";
    // type (auto jpeg png gif tiff), placement (fit method, position, box, version), file
    auto input = [](char type, char placement, const std::string& file) {
        return std::string{type, placement} + file;
    };
    auto gradient = [](int x, int y, int c) {
        return static_cast<unsigned>((x * 32 + y * 8 + c * 80) & 0xFF);
    };
    auto index = [](int x, int y, int) { return static_cast<unsigned>((x + y) % 4); };
    seed(t, "rgb.png", input(2, 0, pngBytes({.width = 6, .height = 5, .pixel = gradient, .dpi = 144})));
    seed(t, "rgba16-interlaced.png",
         input(0, 0x21,
               pngBytes({.width = 5,
                         .height = 4,
                         .colorType = 6,
                         .bitDepth = 16,
                         .interlaced = true,
                         .pixel = [](int x, int y, int c) {
                             return static_cast<unsigned>(x * 9000 + y * 700 + c);
                         }})));
    seed(t, "palette-trns.png",
         input(2, 0x83,
               pngBytes({.width = 4,
                         .height = 4,
                         .colorType = 3,
                         .bitDepth = 2,
                         .pixel = index,
                         .palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9},
                         .paletteAlpha = {0, 128}})));
    seed(t, "gray1-key.png",
         input(0, 0x04,
               pngBytes({.width = 9,
                         .height = 3,
                         .colorType = 0,
                         .bitDepth = 1,
                         .pixel = [](int x, int, int) { return static_cast<unsigned>(x & 1); },
                         .transparentColor = {1}})));
    seed(t, "header-only.png", input(2, 0, pngHeaderOnly(20000, 20000, 2, 8, false)));
    seed(t, "ycc.jpg", input(1, 0x01, jpegBytes({.width = 8, .height = 8, .pixel = gradient, .dpi = 300})));
    seed(
        t, "cmyk-progressive.jpg",
        input(0, 0x02,
              jpegBytes({.width = 8, .height = 8, .components = 4, .progressive = true, .pixel = gradient})));
    seed(t, "gray.jpg",
         input(1, 0x12, jpegBytes({.width = 8, .height = 8, .components = 1, .pixel = gradient})));
    seed(t, "claims-huge.jpg", input(1, 0, jpegClaimingSize(60000, 60000)));
#ifdef QUILLON_HAVE_GIF
    seed(t, "transparent.gif",
         input(3, 0x00,
               gifBytes({.width = 5,
                         .height = 4,
                         .interlaced = true,
                         .palette = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255},
                         .transparentIndex = 2,
                         .pixel = index,
                         .frames = 2})));
#endif
#ifdef QUILLON_HAVE_TIFF
    for (const auto& [name, spec] :
         {std::pair<std::string, TiffSpec>{"rgba.tif",
                                           {.width = 4, .height = 3, .samples = 4, .pixel = gradient}},
          {"gray-tiled.tif",
           {.width = 20, .height = 20, .samples = 1, .tiled = true, .pixel = gradient, .dpi = 96}}}) {
        writeTiff((scratch / name).string(), spec);
        seed(t, name, input(4, 0x05, readAll(scratch / name)));
    }
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    root = argv[1];
    const fs::path scratch = fs::temp_directory_path() / "quillon-seeds";
    fs::create_directories(scratch);
    configurationSeeds();
    optionListSeeds();
    pcosSeeds();
    pdiSeeds(scratch);
    blockSeeds();
    codePageSeeds();
    fontSeeds();
    imageSeeds(scratch);
    fs::remove_all(scratch);
    return 0;
}
