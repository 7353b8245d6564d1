// The writer of unencrypted PDF 1.5+ documents: what it writes must read back
// as the objects that were made, and a rich page must look as it does when
// qpdf's own writer writes it.
#include <gtest/gtest.h>

#include <string>

#include "pdfengine/CompactWriter.h"
#include "pdfengine/Deflater.h"
#include "pdfengine/Handle.h"
#include "pdfengine/Qpdf.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;

namespace {

std::string writeToString(QPDF& pdf, const std::string& id)
{
    std::string bytes;
    Pl_String sink("written", nullptr, bytes);
    pdfengine::Deflater deflater(1);
    pdfengine::writeCompact(pdf, sink, "1.7", id, deflater);
    return bytes;
}

std::string decoded(QPDFObjectHandle stream)
{
    std::shared_ptr<Buffer> data = stream.getStreamData(qpdf_dl_generalized);
    return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
}

TEST(CompactWriterTest, ObjectsComeBackAsTheyWereMade)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    QPDF made;
    made.emptyPDF();
    QPDFObjectHandle root = made.getRoot();
    const std::string awkward("(open \\ close) \xFF\x00 end", 18);

    auto values = QPDFObjectHandle::newArray();
    values.appendItem(QPDFObjectHandle::newBool(true));
    values.appendItem(QPDFObjectHandle::newNull());
    values.appendItem(QPDFObjectHandle::newInteger(-7));
    values.appendItem(QPDFObjectHandle::newReal("3.25"));
    values.appendItem(QPDFObjectHandle::newName("/Escaped#23 and (space)"));
    values.appendItem(QPDFObjectHandle::newString(awkward));
    // A reference to an object the file does not have reads as null.
    values.appendItem(made.getObject(9999, 0));
    root.replaceKey("/Values", values);

    auto odd = QPDFObjectHandle::newDictionary();
    odd.replaceKey("/Key With Space", QPDFObjectHandle::newInteger(1));
    odd.replaceKey("/Gone", QPDFObjectHandle::newNull());
    root.replaceKey("/Odd", made.makeIndirectObject(odd));

    const std::string text(3000, 'a');
    root.replaceKey("/Plain", made.newStream(text));
    QPDFObjectHandle metadata = made.newStream("<x:xmpmeta/>");
    metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
    root.replaceKey("/Meta", metadata);
    QPDFObjectHandle stray = made.newStream(text);
    stray.getDict().replaceKey("/DecodeParms", QPDFObjectHandle::parse("<< /Columns 4 >>"));
    root.replaceKey("/Stray", stray);

    // More objects than one object stream holds; each refers back to the catalog.
    auto many = QPDFObjectHandle::newArray();
    for (int i = 0; i < 250; ++i) {
        auto item = QPDFObjectHandle::newDictionary();
        item.replaceKey("/I", QPDFObjectHandle::newInteger(i));
        item.replaceKey("/Up", root);
        many.appendItem(made.makeIndirectObject(item));
    }
    root.replaceKey("/Many", many);
    made.makeIndirectObject(QPDFObjectHandle::newString("nobody refers to this"));

    const std::string id = "0123456789abcdef";
    const std::string bytes = writeToString(made, id);
    ASSERT_EQ(bytes.substr(0, 9), "%PDF-1.7\n");
    EXPECT_EQ(bytes.find("nobody refers to this"), std::string::npos);

    QPDF read;
    read.processMemoryFile("written", bytes.data(), bytes.size());
    EXPECT_FALSE(read.anyWarnings());
    QPDFObjectHandle back = read.getRoot();
    QPDFObjectHandle valuesBack = back.getKey("/Values");
    ASSERT_EQ(valuesBack.getArrayNItems(), 7);
    EXPECT_EQ(valuesBack.getArrayItem(0).unparse() + valuesBack.getArrayItem(1).unparse() +
                  valuesBack.getArrayItem(2).unparse() + valuesBack.getArrayItem(3).unparse(),
              "truenull-73.25");
    EXPECT_EQ(valuesBack.getArrayItem(4).getName(), "/Escaped# and (space)");
    EXPECT_EQ(valuesBack.getArrayItem(5).getStringValue(), awkward);
    EXPECT_TRUE(valuesBack.getArrayItem(6).isNull());
    EXPECT_EQ(back.getKey("/Odd").getKey("/Key With Space").getIntValue(), 1);
    EXPECT_FALSE(back.getKey("/Odd").hasKey("/Gone"));

    QPDFObjectHandle plain = back.getKey("/Plain");
    EXPECT_TRUE(plain.getDict().getKey("/Filter").isNameAndEquals("/FlateDecode"));
    EXPECT_EQ(decoded(plain), text);
    QPDFObjectHandle meta = back.getKey("/Meta");
    EXPECT_TRUE(meta.getDict().getKey("/Filter").isNull());
    EXPECT_EQ(decoded(meta), "<x:xmpmeta/>");
    // Parameters without a filter meant nothing; the compressed data has none.
    QPDFObjectHandle strayBack = back.getKey("/Stray");
    EXPECT_FALSE(strayBack.getDict().hasKey("/DecodeParms"));
    EXPECT_EQ(decoded(strayBack), text);

    QPDFObjectHandle manyBack = back.getKey("/Many");
    ASSERT_EQ(manyBack.getArrayNItems(), 250);
    for (int i = 0; i < 250; ++i) {
        EXPECT_EQ(manyBack.getArrayItem(i).getKey("/I").getIntValue(), i);
        EXPECT_EQ(manyBack.getArrayItem(i).getKey("/Up").getObjGen(), back.getObjGen());
    }
    QPDFObjectHandle ids = read.getTrailer().getKey("/ID");
    ASSERT_EQ(ids.getArrayNItems(), 2);
    EXPECT_EQ(ids.getArrayItem(0).getStringValue(), id);
    EXPECT_EQ(ids.getArrayItem(1).getStringValue(), id);

    // The same objects written again give the same bytes.
    EXPECT_EQ(writeToString(made, id), bytes);

    TempDir dir;
    writeFile(dir.file("written.pdf"), bytes);
    RunResult check = run({"qpdf", "--check", dir.file("written.pdf")});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos) << check.out;
}

// Everything a page may hold: an imported page, standard, embedded and CID
// fonts, a line and a form field.
void drawRichPage(PDF* p, const std::string& background)
{
    PDF_begin_page_ext(p, 300, 200, "");
    const int doc = PDF_open_pdi_document(p, background.c_str(), 0, "");
    const int page = PDF_open_pdi_page(p, doc, 1, "");
    PDF_fit_pdi_page(p, page, 150, 50, "");
    PDF_close_pdi_page(p, page);
    PDF_setfont(p, PDF_load_font(p, "Helvetica", 0, "winansi", ""), 14);
    PDF_fit_textline(p, "Total (incl. tax)", 0, 20, 170, "");
    const char* gothic = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";
    if (fileExists(gothic)) {
        PDF_setfont(p, PDF_load_font(p, gothic, 0, "unicode", ""), 14);
        PDF_fit_textline(p, "\xEF\xBB\xBF\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E", 0, 20, 140, "");
    }
    PDF_setfont(p, PDF_load_font(p, "HeiseiMin-W3", 0, "UniJIS-UCS2-H", ""), 14);
    PDF_set_text_pos(p, 20, 110);
    PDF_show2(p, "\x92\x34\x67\x28", 4);
    PDF_moveto(p, 20, 100);
    PDF_lineto(p, 280, 100);
    PDF_stroke(p);
    PDF_create_field(p, 20, 60, 140, 80, "name", 0, "textfield", "currentvalue={Alice}");
    PDF_end_page_ext(p, "");
}

TEST(CompactWriterTest, ARichPageLooksAsItDoesWrittenByQpdf)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("pdftotext");
    TempDir dir;
    enginetest::writeRedSquare(dir.file("square.pdf"));
    // PDF 1.4 has no object streams, so qpdf's writer writes it.
    for (const char* version : {"1.4", "1.7"}) {
        Handle p;
        const std::string path = dir.file(std::string("rich-") + version + ".pdf");
        EXPECT_EQ(failure(p, [&] {
            PDF_begin_document(p, path.c_str(), 0, (std::string("compatibility=") + version).c_str());
            drawRichPage(p, dir.file("square.pdf"));
            PDF_end_document(p, "");
        }), "no error");
    }
    const std::string ours = dir.file("rich-1.7.pdf"), qpdfs = dir.file("rich-1.4.pdf");
    RunResult check = run({"qpdf", "--check", ours});
    EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos) << check.out;
    EXPECT_NE(readFile(ours).find("/ObjStm"), std::string::npos);

    enginetest::Raster expected = enginetest::render(qpdfs), actual = enginetest::render(ours);
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
    EXPECT_TRUE(actual.rgb == expected.rgb) << "the pages' pixels differ";
    EXPECT_EQ(actual.colour(175, 75), 'r');  // the imported square
    EXPECT_EQ(run({"pdftotext", ours, "-"}).out, run({"pdftotext", qpdfs, "-"}).out);
    // The field and its value.
    RunResult fields = run({"qpdf", "--json", "--json-key=acroform", ours});
    EXPECT_NE(fields.out.find("\"fullname\": \"name\""), std::string::npos) << fields.out;
    EXPECT_NE(fields.out.find("Alice"), std::string::npos) << fields.out;
}

}  // namespace
