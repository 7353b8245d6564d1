// Fonts written into real PDFs and read back with poppler's tools: the text must
// come back as the same Unicode text, and the fonts must be what we say they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pdfengine/CidCMap.h"
#include "pdfengine/CidStandardFont.h"
#include "pdfengine/FontObjectWriter.h"
#include "pdfengine/PdfJapaneseFont.h"
#include "pdfengine/PdfStandardFont.h"
#include "pdfengine/PdfTrueTypeFont.h"
#include "pdfengine/PdfType0Font.h"
#include "pdfengine/StandardFont.h"
#include "tests/fonts/CffFontBuilder.h"
#include "tests/fonts/FontTestSupport.h"
#include "tests/support/TestSupport.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

using namespace pdfengine;

namespace {

std::string hexString(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out = "<";
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out + ">";
}

// One line of text per font, from the top of an A4 page down.
class TestDocument {
public:
    void show(PdfFont& font, const GlyphRun& run)
    {
        font.use(run);
        size_t index = 0;
        while (index < fonts_.size() && fonts_[index] != &font)
            ++index;
        if (index == fonts_.size())
            fonts_.push_back(&font);
        double y = 800 - 30.0 * lines_++;
        content_ << "BT /F" << index << " 14 Tf 40 " << y << " Td " << hexString(run.codes) << " Tj ET\n";
    }

    void write(const std::string& path)
    {
        QPDF pdf;
        pdf.emptyPDF();
        Deflater deflater(1);
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        // The first font the way the engine will do it: referred to first, filled at the end.
        for (size_t i = 0; i < fonts_.size(); ++i) {
            QPDFObjectHandle font;
            if (i == 0) {
                font = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
                fonts.replaceKey("/F0", font);
                FontObjectWriter::fill(pdf, fonts_[0]->objects(), font, deflater);
            } else {
                fonts.replaceKey("/F" + std::to_string(i),
                                 FontObjectWriter::write(pdf, fonts_[i]->objects(), deflater));
            }
        }
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 595 842] >>");
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents",
                        pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, content_.str())));
        pdf.addPage(pdf.makeIndirectObject(page), false);
        QPDFWriter writer(pdf, path.c_str());
        writer.setStaticID(true);
        writer.write();
    }

private:
    std::vector<PdfFont*> fonts_;
    std::ostringstream content_;
    int lines_ = 0;
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line != "\f")
            out.push_back(line);
    }
    return out;
}

}  // namespace

TEST(PdfOutput, TextComesBackOutOfEveryKindOfFont)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdffonts");
    QUILLON_REQUIRE_TOOL("qpdf");
    REQUIRE_FILE(fonttest::kGothic);
    REQUIRE_FILE(fonttest::kMincho);
    testsupport::TempDir dir;
    TestDocument doc;

    PdfStandardFont helvetica(*StandardFont::find("Helvetica"), *FontEncoding::find("winansi"));
    doc.show(helvetica, helvetica.mapBytes("Hello \xE9\xFC\x80"));
    PdfStandardFont times(*StandardFont::find("Times-Roman"), *FontEncoding::find("macroman"));
    doc.show(times, times.mapUnicode(U"a≠b"));

    PdfJapaneseFont mincho(*CidStandardFont::find("HeiseiMin-W3"), *CidCMap::find("UniJIS-UCS2-H"));
    doc.show(mincho, mincho.mapUnicode(U"日本語ｱ① ABC ~—－"));
    PdfJapaneseFont gothic(*CidStandardFont::find("HeiseiKakuGo-W5"), *CidCMap::find("90ms-RKSJ-H"));
    // 請求書①㈱ in Shift-JIS
    doc.show(gothic, gothic.mapBytes("\x90\xbf\x8b\x81\x8f\x91\x87\x40\x87\x8a"));
    PdfJapaneseFont kozuka(*CidStandardFont::find("KozMinPro-Regular"), *CidCMap::find("UniJIS-UTF16-H"));
    doc.show(kozuka, kozuka.mapUnicode(U"𠮷野家"));

    auto ipaGothic = std::shared_ptr<const FontFile>(FontFile::load(fonttest::kGothic));
    PdfType0Font type0(ipaGothic, {});
    GlyphRun tokyo = type0.mapUnicode(U"東京都千代田区 ABC");
    EXPECT_EQ(tokyo.missing, 0);
    doc.show(type0, tokyo);
    auto ipaMincho = std::shared_ptr<const FontFile>(FontFile::load(fonttest::kMincho));
    PdfTrueTypeFont simple(ipaMincho, *FontEncoding::find("winansi"), true, true);
    doc.show(simple, simple.mapBytes("Gr\xFC\xDF"
                                     "e"));

    std::string pdfPath = dir.file("fonts.pdf");
    doc.write(pdfPath);

    auto check = testsupport::run({"qpdf", "--check", pdfPath});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    auto text = testsupport::run({"pdftotext", "-enc", "UTF-8", pdfPath, "-"});
    ASSERT_EQ(text.status, 0) << text.err;
    // 𠮷 has a four-byte code that no ToUnicode map readers understand can hold:
    // the engine's text writer adds its ActualText (tests/text-engine), this bare
    // content stream does not.
    EXPECT_EQ(lines(text.out), (std::vector<std::string>{"Hello éü€", "a≠b", "日本語ｱ① ABC ~—－", "請求書①㈱",
                                                         "野家", "東京都千代田区 ABC", "Grüße"}))
        << text.out;
    auto fonts = testsupport::run({"pdffonts", pdfPath});
    ASSERT_EQ(fonts.status, 0) << fonts.err;
    std::vector<std::string> rows = lines(fonts.out);
    auto rowOf = [&](const std::string& name) {
        for (const std::string& row : rows) {
            if (row.find(name) != std::string::npos)
                return row;
        }
        return std::string();
    };
    EXPECT_NE(rowOf("Helvetica").find("Type 1"), std::string::npos) << fonts.out;
    EXPECT_NE(rowOf("HeiseiMin-W3").find("UniJIS-UCS2-H"), std::string::npos) << fonts.out;
    EXPECT_NE(rowOf("HeiseiKakuGo-W5").find("90ms-RKSJ-H"), std::string::npos) << fonts.out;
    std::string cid = rowOf("+IPAexGothic");
    EXPECT_NE(cid.find("CID TrueType"), std::string::npos) << fonts.out;
    EXPECT_NE(cid.find("Identity-H"), std::string::npos) << fonts.out;
    EXPECT_NE(cid.find("yes yes yes"), std::string::npos) << fonts.out;
    std::string tt = rowOf("+IPAexMincho");
    EXPECT_NE(tt.find("TrueType"), std::string::npos) << fonts.out;
    EXPECT_NE(tt.find("yes yes yes"), std::string::npos) << fonts.out;
    EXPECT_LT(testsupport::readFile(pdfPath).size(), 40000u);

    // Font programs and ToUnicode maps arrive compressed, and a TrueType
    // program's Length1 is its length once decoded.
    QPDF written;
    written.processFile(pdfPath.c_str());
    int programs = 0;
    for (QPDFObjectHandle object : written.getAllObjects()) {
        if (!object.isDictionary() || !object.hasKey("/FontName"))
            continue;
        for (const char* key : {"/FontFile2", "/FontFile3"}) {
            QPDFObjectHandle program = object.getKey(key);
            if (!program.isStream())
                continue;
            ++programs;
            EXPECT_TRUE(program.getDict().getKey("/Filter").isNameAndEquals("/FlateDecode")) << key;
            if (program.getDict().hasKey("/Length1")) {
                EXPECT_EQ(program.getDict().getKey("/Length1").getIntValue(),
                          static_cast<long long>(program.getStreamData()->getSize()));
            }
        }
    }
    EXPECT_EQ(programs, 2);
}

// Glyphs must not only extract but draw: CID-keyed fonts select glyphs by CID
// through the font's charset, which a reader only applies to bare CFF.
TEST(PdfOutput, CffFontsDrawAndExtract)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdffonts");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    std::vector<fonttest::CffGlyph> glyphs = {{U' ', 250, 1}, {U'漢', 1000, 4000}};
    for (char32_t c = U'A'; c <= U'Z'; ++c)
        glyphs.push_back({c, 600, static_cast<int>(100 + c)});
    auto named = FontFile::fromBytes(fonttest::buildCffFont("QuillonTest-Regular", glyphs), 0, "test.otf");
    auto keyed = FontFile::fromBytes(fonttest::buildCffFont("QuillonTest-CID", glyphs, true), 0, "cid.otf");
    testsupport::TempDir dir;
    TestDocument doc;
    PdfType0Font first(std::move(named), {});
    doc.show(first, first.mapUnicode(U"QUILLON 漢"));
    PdfType0Font second(std::move(keyed), {});
    doc.show(second, second.mapUnicode(U"漢 CID"));
    std::string pdfPath = dir.file("cff.pdf");
    doc.write(pdfPath);

    auto text = testsupport::run({"pdftotext", "-enc", "UTF-8", pdfPath, "-"});
    EXPECT_EQ(lines(text.out), (std::vector<std::string>{"QUILLON 漢", "漢 CID"})) << text.out << text.err;
    auto fonts = testsupport::run({"pdffonts", pdfPath});
    std::vector<std::string> rows = lines(fonts.out);
    ASSERT_EQ(rows.size(), 4u) << fonts.out;
    EXPECT_NE(rows[2].find("+QuillonTest-Regular"), std::string::npos) << fonts.out;
    EXPECT_NE(rows[2].find("CID Type 0C (OT)"), std::string::npos) << fonts.out;
    EXPECT_NE(rows[3].find("+QuillonTest-CID"), std::string::npos) << fonts.out;
    EXPECT_NE(rows[3].find("CID Type 0C "), std::string::npos) << fonts.out;
    for (const std::string& row : {rows[2], rows[3]})
        EXPECT_NE(row.find("yes yes yes"), std::string::npos) << fonts.out;
    EXPECT_EQ(fonts.err, "");

    // Each line is drawn: the glyphs are filled rectangles 14 x 8.4 points high.
    auto render = testsupport::run({"pdftoppm", "-r", "72", "-gray", pdfPath, dir.file("page")});
    ASSERT_EQ(render.status, 0) << render.err;
    std::string pgm = testsupport::readFile(dir.file("page-1.pgm"));
    ASSERT_EQ(pgm.substr(0, 2), "P5");
    std::istringstream header(pgm);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    header >> magic >> width >> height >> maximum;
    size_t pixels = static_cast<size_t>(header.tellg()) + 1;
    ASSERT_EQ(height, 842);
    auto darkIn = [&](int top, int bottom) {
        int dark = 0;
        for (int row = top; row < bottom; ++row)
            for (int col = 0; col < width; ++col)
                dark += static_cast<uint8_t>(pgm[pixels + row * width + col]) < 128;
        return dark;
    };
    EXPECT_GT(darkIn(842 - 800 - 10, 842 - 800), 150);  // first line, baseline at 800
    EXPECT_GT(darkIn(842 - 770 - 10, 842 - 770), 150);  // second line
}

// A TrueType subset of a CIDFont has its glyphs renumbered and a CIDToGIDMap
// that leads the CIDs (the whole font's glyph ids) to them: the page must look
// exactly as with the whole font embedded, composite glyphs included.
TEST(PdfOutput, RenumberedSubsetDrawsAsTheWholeFont)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("pdftotext");
    const std::string dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    REQUIRE_FILE(dejavu);
    auto font = std::shared_ptr<const FontFile>(FontFile::load(dejavu));
    const std::u32string text = U"Grüße, Ångström! ŵ ǻ ½ ∑ fi";
    testsupport::TempDir dir;
    std::string pages[2];
    for (bool subset : {true, false}) {
        PdfType0Font::Options options;
        options.subset = subset;
        PdfType0Font type0(font, options);
        TestDocument doc;
        GlyphRun run = type0.mapUnicode(text);
        ASSERT_EQ(run.missing, 0);
        doc.show(type0, run);
        doc.show(type0, run);
        std::string name = subset ? "subset" : "whole";
        std::string pdfPath = dir.file(name + ".pdf");
        doc.write(pdfPath);

        QPDF written;
        written.processFile(pdfPath.c_str());
        int maps = 0;
        for (QPDFObjectHandle object : written.getAllObjects()) {
            if (object.isDictionary() && object.hasKey("/CIDToGIDMap")) {
                ++maps;
                EXPECT_EQ(object.getKey("/CIDToGIDMap").isStream(), subset);
            }
        }
        EXPECT_EQ(maps, 1);
        auto extracted = testsupport::run({"pdftotext", "-enc", "UTF-8", pdfPath, "-"});
        EXPECT_EQ(lines(extracted.out),
                  (std::vector<std::string>{"Grüße, Ångström! ŵ ǻ ½ ∑ fi", "Grüße, Ångström! ŵ ǻ ½ ∑ fi"}))
            << extracted.out;
        auto render = testsupport::run({"pdftoppm", "-r", "100", "-gray", pdfPath, dir.file(name)});
        ASSERT_EQ(render.status, 0) << render.err;
        pages[subset ? 0 : 1] = testsupport::readFile(dir.file(name + "-1.pgm"));
    }
    ASSERT_GT(pages[0].size(), 100000u);
    // Not blank: past the header ("P5", size, depth: three lines), text is dark.
    size_t pixels = 0;
    for (int line = 0; line < 3; ++line)
        pixels = pages[0].find('\n', pixels) + 1;
    EXPECT_GT(std::count_if(pages[0].begin() + static_cast<long>(pixels), pages[0].end(),
                            [](char c) { return static_cast<uint8_t>(c) < 128; }),
              500);
    EXPECT_TRUE(pages[0] == pages[1]) << "the subset draws differently from the whole font";
}
