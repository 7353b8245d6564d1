// PDF_load_font: where fonts are found, what they become in the PDF, what one
// handle is, and why a font cannot be had.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/text-engine/TextTestSupport.h"

using enginetest::Handle;
using texttest::FontRow;

namespace {

const FontRow* rowNamed(const std::vector<FontRow>& rows, const std::string& suffix)
{
    for (const FontRow& row : rows) {
        if (row.name.size() >= suffix.size() &&
            row.name.compare(row.name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return &row;
    }
    return nullptr;
}

long fileSize(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// The message of a failed PDF_load_font, with its number.
std::string loadFailure(PDF* p, const char* name, const char* encoding, const char* options = "")
{
    int font = PDF_load_font(p, name, 0, encoding, options);
    if (font != -1)
        return "loaded as " + std::to_string(font);
    return std::to_string(PDF_get_errnum(p)) + " " + PDF_get_errmsg(p);
}

}  // namespace

TEST(FontLoading, StandardFontsStayOutFontFilesAreEmbeddedAsSubsets)
{
    QUILLON_REQUIRE_TOOL("pdffonts");
    REQUIRE_FONT(texttest::kGothic);
    REQUIRE_FONT(texttest::kDejaVu);
    testsupport::TempDir dir;
    Handle p;
    texttest::writePage(p, dir.file("kinds.pdf"), [](PDF* p) {
        const std::pair<int, const char*> shown[] = {
            {PDF_load_font(p, "Helvetica-Bold", 0, "winansi", ""), "Text"},
            {PDF_load_font(p, "HeiseiMin-W3", 0, "cp932", ""), "\x93\xfa\x96\x7b"},
            {PDF_load_font(p, texttest::kGothic, 0, "cp932", ""), "\x93\xfa\x96\x7b"},
            {PDF_load_font(p, texttest::kDejaVu, 0, "winansi", ""), "Gr\xFC\xDF"},
            {PDF_load_font(p, texttest::kDejaVu, 0, "unicode", "embedding=false"), "A\0"},
        };
        double y = 800;
        for (const auto& [font, text] : shown) {
            PDF_setfont(p, font, 12);
            PDF_set_text_pos(p, 40, y -= 20);
            PDF_show2(p, text, text[1] ? 0 : 2);
        }
    });
    std::vector<FontRow> rows = texttest::fonts(dir.file("kinds.pdf"));
    ASSERT_EQ(rows.size(), 5u);
    const FontRow* helvetica = rowNamed(rows, "Helvetica-Bold");
    ASSERT_TRUE(helvetica);
    EXPECT_EQ(helvetica->type, "Type 1");
    EXPECT_FALSE(helvetica->embedded);
    const FontRow* heisei = rowNamed(rows, "HeiseiMin-W3-90ms-RKSJ-H");
    ASSERT_TRUE(heisei);
    EXPECT_FALSE(heisei->embedded);
    const FontRow* gothic = rowNamed(rows, "+IPAexGothic");
    ASSERT_TRUE(gothic);
    EXPECT_EQ(gothic->type, "CID TrueType");
    EXPECT_TRUE(gothic->embedded && gothic->subset && gothic->toUnicode);
    const FontRow* simple = rowNamed(rows, "+DejaVuSans");
    ASSERT_TRUE(simple);
    EXPECT_EQ(simple->type, "TrueType");
    EXPECT_TRUE(simple->embedded && simple->subset && simple->toUnicode);
    const FontRow* outside = nullptr;
    for (const FontRow& row : rows)
        outside = row.name == "DejaVuSans" ? &row : outside;
    ASSERT_TRUE(outside);
    EXPECT_FALSE(outside->embedded);
    EXPECT_EQ(outside->type, "CID TrueType");
}

TEST(FontLoading, TwentyKanjiOfALargeFontMakeASmallFile)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    const char* large[] = {texttest::kMincho, texttest::kNotoCjk};
    for (const char* file : large) {
        if (!texttest::exists(file))
            continue;
        ASSERT_GT(fileSize(file), 7'000'000) << file;
        testsupport::TempDir dir;
        Handle p;
        // Over three pages, so the one subset must cover every page.
        const std::string kanji[] = {"請求書御中株式", "会社東京都千代", "田区丸内一丁目"};
        PDF_begin_document(p, dir.file("kanji.pdf").c_str(), 0, "");
        for (const std::string& text : kanji) {
            PDF_begin_page_ext(p, 595, 842, "");
            int font = PDF_load_font(p, file, 0, "unicode", "");
            PDF_setfont(p, font, 24);
            PDF_set_text_pos(p, 50, 700);
            std::string bytes = texttest::utf16le(text);
            PDF_show2(p, bytes.data(), static_cast<int>(bytes.size()));
            PDF_end_page_ext(p, "");
        }
        PDF_end_document(p, "");
        EXPECT_LT(fileSize(dir.file("kanji.pdf")), 100'000) << file;
        EXPECT_EQ(texttest::textLines(dir.file("kanji.pdf")),
                  (std::vector<std::string>(std::begin(kanji), std::end(kanji))))
            << file;
        EXPECT_EQ(texttest::fonts(dir.file("kanji.pdf")).size(), 1u) << file;
    }
}

TEST(FontLoading, OneHandlePerFontAndEncoding)
{
    REQUIRE_FONT(texttest::kGothic);
    Handle p;
    int helvetica = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    EXPECT_EQ(helvetica, 0);
    EXPECT_EQ(PDF_load_font(p, "Helvetica", 0, "winansi", ""), helvetica);
    // auto and host are winansi for the standard Latin fonts: the same font.
    EXPECT_EQ(PDF_load_font(p, "Helvetica", 0, "auto", ""), helvetica);
    EXPECT_EQ(PDF_load_font(p, "Helvetica", 0, "host", ""), helvetica);
    EXPECT_EQ(PDF_load_font(p, "Helvetica", 0, "", ""), helvetica);
    int macroman = PDF_load_font(p, "Helvetica", 0, "macroman", "");
    EXPECT_NE(macroman, helvetica);
    int gothic = PDF_load_font(p, texttest::kGothic, 0, "unicode", "");
    EXPECT_NE(gothic, helvetica);
    EXPECT_EQ(PDF_load_font(p, texttest::kGothic, 0, "unicode", "embedding subsetting"), gothic);
    EXPECT_NE(PDF_load_font(p, texttest::kGothic, 0, "unicode", "subsetting=false"), gothic);
    EXPECT_NE(PDF_load_font(p, texttest::kGothic, 0, "cp932", ""), gothic);
    // The handle outlives documents and works in each of them.
    for (int document = 0; document < 2; ++document) {
        PDF_begin_document(p, "", 0, "");
        EXPECT_EQ(PDF_load_font(p, "Helvetica", 0, "winansi", ""), helvetica);
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_setfont(p, gothic, 10);
        PDF_show2(p, "\x71\x67", 2);
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
    }
}

TEST(FontLoading, EachDocumentEmbedsWhatItShowed)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    REQUIRE_FONT(texttest::kGothic);
    testsupport::TempDir dir;
    Handle p;
    int font = PDF_load_font(p, texttest::kGothic, 0, "unicode", "");
    const std::string texts[] = {"東京", "大阪"};
    std::vector<std::string> names;
    for (int i = 0; i < 2; ++i) {
        std::string path = dir.file("doc" + std::to_string(i) + ".pdf");
        texttest::writePage(p, path, [&](PDF* p) {
            PDF_setfont(p, font, 20);
            std::string bytes = texttest::utf16le(texts[i]);
            PDF_show2(p, bytes.data(), static_cast<int>(bytes.size()));
        });
        EXPECT_EQ(texttest::textLines(path), std::vector<std::string>{texts[i]});
        names.push_back(texttest::fonts(path).at(0).name);
    }
    // Other glyphs, another subset tag.
    EXPECT_NE(names[0], names[1]);
}

TEST(FontLoading, FontsAreFoundByRegistrationSearchPathAndFamily)
{
    REQUIRE_FONT(texttest::kDejaVu);
    REQUIRE_FONT(texttest::kMincho);
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("Copy.ttf"), testsupport::readFile(texttest::kDejaVu));
    Handle p;
    EXPECT_EQ(loadFailure(p, "Copy.ttf", "winansi").rfind("2301 ", 0), 0u);
    PDF_set_option(p, ("SearchPath={" + dir.path().string() + "}").c_str());
    EXPECT_EQ(loadFailure(p, "Copy.ttf", "winansi"), "loaded as 0");
    // A registered name, its file found on the search path; registration wins
    // over a standard font of the same name.
    PDF_set_option(p, "FontOutline={Courier=Copy.ttf}");
    int courier = PDF_load_font(p, "Courier", 0, "winansi", "");
    EXPECT_EQ(courier, 0);
    // Installed families by their exact name, in UTF-8 or code page 932.
    int mincho = PDF_load_font(p, "IPAexMincho", 0, "unicode", "");
    EXPECT_GT(mincho, 0);
    EXPECT_EQ(PDF_load_font(p, "IPAex\xe6\x98\x8e\xe6\x9c\x9d", 0, "unicode", ""), mincho);
    EXPECT_EQ(PDF_load_font(p, "IPAex\x96\xbe\x92\xa9", 0, "unicode", ""), mincho);
    EXPECT_EQ(loadFailure(p, "IPAexMinch", "unicode").rfind("2301 ", 0), 0u);
}

TEST(FontLoading, FacesOfACollection)
{
    QUILLON_REQUIRE_TOOL("pdffonts");
    REQUIRE_FONT(texttest::kNotoCjk);
    testsupport::TempDir dir;
    Handle p;
    texttest::writePage(p, dir.file("faces.pdf"), [](PDF* p) {
        PDF_setfont(p, PDF_load_font(p, texttest::kNotoCjk, 0, "unicode", ""), 12);
        PDF_show2(p, "\x2c\x67", 2);
        PDF_setfont(p, PDF_load_font(p, texttest::kNotoCjk, 0, "unicode", "faceindex=1"), 12);
        PDF_show2(p, "\x2c\x67", 2);
    });
    std::vector<FontRow> rows = texttest::fonts(dir.file("faces.pdf"));
    EXPECT_TRUE(rowNamed(rows, "+NotoSansCJKjp-Regular"));
    EXPECT_TRUE(rowNamed(rows, "+NotoSansCJKkr-Regular"));
    EXPECT_EQ(loadFailure(p, texttest::kNotoCjk, "unicode", "faceindex=10"),
              std::string("2301 Couldn't load font '") + texttest::kNotoCjk +
                  "' with encoding 'unicode': Face index 10 of font file '" + texttest::kNotoCjk +
                  "' is out of range (the file has 10 faces)");
}

TEST(FontLoading, FailuresNameTheFontTheEncodingAndTheReason)
{
    REQUIRE_FONT(texttest::kDejaVu);
    testsupport::TempDir dir;
    std::string font = testsupport::readFile(texttest::kDejaVu);
    testsupport::writeFile(dir.file("cut.ttf"), font.substr(0, 4000));
    testsupport::writeFile(dir.file("text.ttf"), "not a font at all");
    Handle p;
    EXPECT_EQ(loadFailure(p, "NoSuchFont", "unicode"),
              "2301 Couldn't load font 'NoSuchFont' with encoding 'unicode': font not found (no FontOutline "
              "registration, no standard font, no font file and no installed font family of that name)");
    EXPECT_EQ(
        loadFailure(p, "Helvetica", "latin1"),
        "5101 Couldn't load font 'Helvetica' with encoding 'latin1': unknown encoding (expected winansi, "
        "iso8859-1, macroman, builtin, host, auto, cp932, unicode, glyphid, UniJIS-UCS2-H, UniJIS-UCS2-HW-H, "
        "UniJIS-UTF16-H, 90ms-RKSJ-H or 90msp-RKSJ-H)");
    EXPECT_EQ(
        loadFailure(p, "Helvetica", "glyphid"),
        "2301 Couldn't load font 'Helvetica' with encoding 'glyphid': glyph ids need a font file; Helvetica "
        "is a standard font");
    EXPECT_EQ(loadFailure(p, "HeiseiMin-W3", "builtin"),
              "2301 Couldn't load font 'HeiseiMin-W3' with encoding 'builtin': HeiseiMin-W3 is a standard "
              "CID font: "
              "it takes Unicode, code page 932 or the codes of a Japanese CMap, not a built-in encoding");
    EXPECT_EQ(loadFailure(p, dir.file("text.ttf").c_str(), "unicode"),
              "2301 Couldn't load font '" + dir.file("text.ttf") + "' with encoding 'unicode': Font file '" +
                  dir.file("text.ttf") +
                  "' is not a TrueType or OpenType font or collection (unsupported format)");
    std::string cut = loadFailure(p, dir.file("cut.ttf").c_str(), "winansi");
    EXPECT_EQ(cut.rfind("2301 Couldn't load font '" + dir.file("cut.ttf") +
                            "' with encoding 'winansi': Font file '" + dir.file("cut.ttf") +
                            "' is damaged or not a font (",
                        0),
              0u)
        << cut;
    PDF_set_option(p, "FontOutline={Mine=/no/such/dir/mine.ttf}");
    EXPECT_EQ(loadFailure(p, "Mine", "unicode"),
              "2301 Couldn't load font 'Mine' with encoding 'unicode': font file '/no/such/dir/mine.ttf' "
              "registered "
              "for it with FontOutline was not found");
    EXPECT_EQ(loadFailure(p, "", "unicode"),
              "2301 Couldn't load font '' with encoding 'unicode': no font name given");

    // Option mistakes are the caller's, and fatal.
    EXPECT_EQ(enginetest::failure(p, [&] { PDF_load_font(p, "Helvetica", 0, "winansi", "embeding"); }),
              "1101 8 Unknown option 'embeding'");

    // The next use of the -1 handle says why it is -1.
    PDF_load_font(p, "NoSuchFont", 0, "winansi", "");
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    EXPECT_EQ(
        enginetest::failure(p, [&] { PDF_setfont(p, -1, 12); }),
        "4001 4 font handle -1 is not valid; the last font load failed: Couldn't load font 'NoSuchFont' with "
        "encoding 'winansi': font not found (no FontOutline registration, no standard font, no font file and "
        "no installed font family of that name)");
    EXPECT_EQ(enginetest::failure(p, [&] { PDF_setfont(p, 7, 12); }), "4001 4 font handle 7 is not valid");
}

TEST(FontLoading, ARegistrationRepeatedChangedOrJoinedByAnother)
{
    // Renderers register a font's file again before every text; a repeat must
    // keep the registration, a change must replace it, and a new name given
    // beside a repeat must be registered too.
    Handle p;
    auto fileNamed = [&](const char* name) {
        const std::string message = loadFailure(p, name, "unicode");
        const size_t start = message.find("font file '");
        return start == std::string::npos
                   ? message
                   : message.substr(start + 11, message.find('\'', start + 11) - start - 11);
    };
    PDF_set_option(p, "FontOutline={Mine=/no/such/a.ttf}");
    EXPECT_EQ(fileNamed("Mine"), "/no/such/a.ttf");
    PDF_set_option(p, "FontOutline={Mine=/no/such/a.ttf}");
    EXPECT_EQ(fileNamed("Mine"), "/no/such/a.ttf");
    PDF_set_option(p, "FontOutline={Mine=/no/such/a.ttf} FontOutline={Other=/no/such/c.ttf}");
    EXPECT_EQ(fileNamed("Other"), "/no/such/c.ttf");
    PDF_set_option(p, "FontOutline={Mine=/no/such/b.ttf}");
    EXPECT_EQ(fileNamed("Mine"), "/no/such/b.ttf");
    PDF_set_option(p, "FontOutline={Mine=/no/such/b.ttf} SearchPath={/no/such/folder}");
    EXPECT_EQ(fileNamed("Mine"), "/no/such/b.ttf");
    // A malformed repeat is still an error.
    EXPECT_EQ(enginetest::failure(p, [&] { PDF_set_option(p, "FontOutline={Mine}"); }),
              "1113 9 Option 'FontOutline' expects fontname=filename, not 'Mine'");
}

TEST(FontLoading, OpenTypeWithCffOutlinesNeedsPdf16)
{
    REQUIRE_FONT(texttest::kNimbusOtf);
    Handle p;
    int early = PDF_load_font(p, texttest::kNimbusOtf, 0, "winansi", "");
    ASSERT_GE(early, 0);
    PDF_begin_document(p, "", 0, "compatibility=1.5");
    EXPECT_EQ(loadFailure(p, texttest::kNimbusOtf, "unicode"),
              std::string("5102 Font '") + texttest::kNimbusOtf +
                  "' with encoding 'unicode' has CFF outlines in an OpenType file, which PDF 1.5 cannot "
                  "embed (compatibility 1.6 or "
                  "higher, "
                  "or embedding=false, is needed)");
    EXPECT_GE(PDF_load_font(p, texttest::kNimbusOtf, 0, "unicode", "embedding=false"), 0);
    PDF_begin_page_ext(p, 100, 100, "");
    EXPECT_EQ(enginetest::failure(p, [&] { PDF_setfont(p, early, 12); }),
              std::string("5102 9 Font '") + texttest::kNimbusOtf +
                  "' with encoding 'winansi' has CFF outlines in an OpenType file, which PDF 1.5 cannot "
                  "embed (compatibility 1.6 or "
                  "higher, "
                  "or embedding=false, is needed)");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");

    // Without a fixed compatibility the document becomes 1.6 or later.
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_setfont(p, early, 12);
    PDF_show(p, "Nimbus");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    long size = 0;
    const char* bytes = PDF_get_buffer(p, &size);
    ASSERT_GT(size, 8);
    EXPECT_GE(std::string(bytes, 8), "%PDF-1.6");
}

// Truncated and garbled copies of a font either fail to load with a message or
// load and show text; a document using one is written or reports an error. The
// sanitizer build checks that nothing reads or writes out of bounds.
TEST(FontLoading, DamagedFontFilesNeverCrash)
{
    REQUIRE_FONT(texttest::kDejaVu);
    const std::string font = testsupport::readFile(texttest::kDejaVu);
    testsupport::TempDir dir;
    std::vector<std::string> damaged;
    for (size_t size : {12ul, 200ul, 1000ul, 30000ul, font.size() / 2, font.size() - 1})
        damaged.push_back(font.substr(0, size));
    for (size_t step : {997ul, 4093ul, 30011ul}) {
        std::string garbled = font;
        for (size_t at = 12; at < garbled.size(); at += step)
            garbled[at] = static_cast<char>(garbled[at] ^ 0x5A);
        damaged.push_back(garbled);
    }
    int loaded = 0;
    for (size_t i = 0; i < damaged.size(); ++i) {
        std::string path = dir.file("damaged" + std::to_string(i) + ".ttf");
        testsupport::writeFile(path, damaged[i]);
        for (const char* encoding : {"winansi", "unicode"}) {
            Handle p;
            PDF_begin_document(p, "", 0, "");
            PDF_begin_page_ext(p, 200, 200, "");
            int handle = PDF_load_font(p, path.c_str(), 0, encoding, "");
            if (handle == -1) {
                EXPECT_EQ(PDF_get_errnum(p), 2301) << PDF_get_errmsg(p);
                PDF_end_page_ext(p, "");
                continue;
            }
            ++loaded;
            PDF_setfont(p, handle, 12);
            if (std::string(encoding) == "unicode")
                PDF_show2(p, "H\0i\0\x01\x26", 6);
            else
                PDF_show(p, "Hi \xE9");
            PDF_end_page_ext(p, "");
            enginetest::failure(p, [&] { PDF_end_document(p, ""); });
        }
    }
    EXPECT_GT(loaded, 0);  // garbled glyph data still makes a usable font
}
