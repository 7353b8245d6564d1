// Imported pages in an output document: one form XObject per document and
// page, copied lazily, without annotations, with the imported document kept
// alive until the output is written; output intents.
#include "pdfengine/ImportRegistry.h"

#include <gtest/gtest.h>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "pdfengine/PagePlacement.h"
#include "pdfengine/PcosQuery.h"
#include "tests/pdi/PdiTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;
using fixtures::PdfBuilder;

namespace {

// An output document under construction, as the engine core keeps one.
struct Output {
    Output() { pdf.emptyPDF(); }

    Deflater deflater{1};

    // A page that draws the form XObject with the placement's operators.
    void addPage(QPDFObjectHandle form, const PagePlacement& placement, double w, double h)
    {
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 " + std::to_string(w) +
                                                        " " + std::to_string(h) + "] >>");
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        resources.getKey("/XObject").replaceKey("/Fx0", form);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", pdf.newStream(placement.content("Fx0")));
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    }

    void write(const std::string& path)
    {
        QPDFWriter writer(pdf, path.c_str());
        writer.setStaticID(true);
        writer.write();
    }

    QPDF pdf;
};

}  // namespace

TEST(ImportRegistryTest, OneFormXObjectPerDocumentAndPageForEveryPlacement)
{
    testsupport::TempDir dir;
    PdfBuilder b;
    b.addPage("[0 0 200 100]", "1 0 0 rg 0 0 200 100 re f");
    b.addPage("[0 0 300 300]", "0 0 1 rg 0 0 300 300 re f");
    std::string source = dir.file("background.pdf");
    b.write(source);

    Output out;
    std::weak_ptr<ImportedDocument> watch;
    {
        ImportRegistry registry(out.pdf, out.deflater);
        {
            auto doc = ImportedDocument::open(source, {});
            watch = doc;
            QPDFObjectHandle first = registry.formXObject(doc, 1);
            EXPECT_TRUE(first.isStream());
            EXPECT_EQ(first.getDict().getKey("/Subtype").getName(), "/Form");
            EXPECT_EQ(PdfRect::fromObject(first.getDict().getKey("/BBox")), (PdfRect{0, 0, 200, 100}));
            EXPECT_EQ(registry.formXObject(doc, 1).getObjGen(), first.getObjGen());
            EXPECT_NE(registry.formXObject(doc, 2).getObjGen(), first.getObjGen());
            EXPECT_EQ(registry.formXObjectCount(), 2u);
            for (int i = 0; i < 50; ++i)
                out.addPage(registry.formXObject(doc, 1 + i % 2),
                            PagePlacement::compute(doc->geometry(1), PageBox::Crop, 0, 0, {}), 200, 100);
            EXPECT_PDI_ERROR(registry.formXObject(doc, 3), PdiErrorKind::PageOutOfRange, "Page 3");
        }
        // The engine closed the imported document; the output still needs it.
        EXPECT_FALSE(watch.expired());
        EXPECT_EQ(registry.highestVersion(), "1.3");
        out.write(dir.file("out.pdf"));
    }
    EXPECT_TRUE(watch.expired());

    std::string written = dir.file("out.pdf");
    EXPECT_EQ(fixtures::countObjects(written, "/Subtype", "/Form"), 2);
    EXPECT_EQ(fixtures::countObjects(written, "/Type", "/Page"), 50);
    if (testsupport::haveTool("qpdf")) {
        auto check = testsupport::run({"qpdf", "--check", written});
        EXPECT_EQ(check.status, 0) << check.out << check.err;
    }
    // The form's content is the page's content.
    QPDF reread;
    reread.processFile(written.c_str());
    QPDFObjectHandle form =
        QPDFObjectHandle(reread.getAllPages().front()).getKey("/Resources").getKey("/XObject").getKey("/Fx0");
    auto data = form.getStreamData();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data->getBuffer()), data->getSize()),
              "1 0 0 rg 0 0 200 100 re f");
}

TEST(ImportRegistryTest, ImportingOnePageOfAThousandCopiesOnlyThatPage)
{
    testsupport::TempDir dir;
    PdfBuilder b;
    // Every page has a font and an image of its own, and a link annotation.
    for (int i = 0; i < 1000; ++i) {
        QPDFObjectHandle page =
            b.addPage("[0 0 100 100]", "BT /F1 12 Tf (page " + std::to_string(i) + ") Tj ET");
        QPDFObjectHandle font = b.pdf().makeIndirectObject(b.parse(
            "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Name /F" + std::to_string(i) + " >>"));
        QPDFObjectHandle image = b.pdf().newStream(std::string(30, static_cast<char>(i)));
        image.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        page.getKey("/Resources").replaceKey("/Font", QPDFObjectHandle::newDictionary());
        page.getKey("/Resources").getKey("/Font").replaceKey("/F1", font);
        page.getKey("/Resources").replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        page.getKey("/Resources").getKey("/XObject").replaceKey("/Im1", image);
        page.replaceKey("/Annots", b.parse("[<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] >>]"));
    }
    std::string source = dir.file("thousand.pdf");
    b.write(source);

    auto doc = ImportedDocument::open(source, {});
    ASSERT_EQ(doc->pageCount(), 1000);
    Output out;
    size_t before = out.pdf.getObjectCount();
    ImportRegistry registry(out.pdf, out.deflater);
    QPDFObjectHandle form = registry.formXObject(doc, 1);
    // The form, its font and its image; nothing of the other 999 pages.
    EXPECT_EQ(out.pdf.getObjectCount() - before, 3u);
    out.addPage(form, PagePlacement::compute(doc->geometry(1), PageBox::Crop, 0, 0, {}), 100, 100);
    std::string written = dir.file("one.pdf");
    out.write(written);
    EXPECT_EQ(fixtures::countObjects(written, "/Type", "/Font"), 1);
    EXPECT_EQ(fixtures::countObjects(written, "/Subtype", "/Link"), 0);
    EXPECT_EQ(fixtures::countObjects(written, "/Type", "/Annot"), 0);
}

TEST(ImportRegistryTest, ResourcesSharedByPagesAreCopiedOnce)
{
    testsupport::TempDir dir;
    PdfBuilder b;
    QPDFObjectHandle font =
        b.pdf().makeIndirectObject(b.parse("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>"));
    for (int i = 0; i < 3; ++i) {
        QPDFObjectHandle page = b.addPage("[0 0 100 100]", "BT /F1 9 Tf (x) Tj ET");
        page.getKey("/Resources").replaceKey("/Font", QPDFObjectHandle::newDictionary());
        page.getKey("/Resources").getKey("/Font").replaceKey("/F1", font);
    }
    std::string source = dir.file("shared.pdf");
    b.write(source);
    auto doc = ImportedDocument::open(source, {});
    Output out;
    ImportRegistry registry(out.pdf, out.deflater);
    for (int n = 1; n <= 3; ++n)
        out.addPage(registry.formXObject(doc, n),
                    PagePlacement::compute(doc->geometry(n), PageBox::Crop, 0, 0, {}), 100, 100);
    std::string written = dir.file("out.pdf");
    out.write(written);
    EXPECT_EQ(fixtures::countObjects(written, "/Type", "/Font"), 1);
    EXPECT_EQ(fixtures::countObjects(written, "/Subtype", "/Form"), 3);
}

TEST(ImportRegistryTest, OutputIntentsAreCopiedOnce)
{
    testsupport::TempDir dir;
    PdfBuilder b;
    b.addPage();
    QPDFObjectHandle profile = b.pdf().newStream("not really an ICC profile");
    profile.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(3));
    QPDFObjectHandle intent =
        b.parse("<< /Type /OutputIntent /S /GTS_PDFX /OutputConditionIdentifier (Test) >>");
    intent.replaceKey("/DestOutputProfile", profile);
    b.pdf().getRoot().replaceKey("/OutputIntents", QPDFObjectHandle::newArray({intent}));
    std::string withIntents = dir.file("intents.pdf");
    b.write(withIntents);
    PdfBuilder plain;
    plain.addPage();
    std::string without = dir.file("plain.pdf");
    plain.write(without);

    Output out;
    ImportRegistry registry(out.pdf, out.deflater);
    EXPECT_FALSE(registry.copyOutputIntents(ImportedDocument::open(without, {})));
    EXPECT_FALSE(out.pdf.getRoot().hasKey("/OutputIntents"));
    auto doc = ImportedDocument::open(withIntents, {});
    EXPECT_TRUE(registry.copyOutputIntents(doc));
    EXPECT_FALSE(registry.copyOutputIntents(doc));
    QPDFObjectHandle copied = out.pdf.getRoot().getKey("/OutputIntents");
    ASSERT_EQ(copied.getArrayNItems(), 1);
    EXPECT_EQ(copied.getArrayItem(0).getKey("/OutputConditionIdentifier").getStringValue(), "Test");
    doc.reset();
    std::string written = dir.file("out.pdf");
    out.write(written);
    QPDF reread;
    reread.processFile(written.c_str());
    auto data = reread.getRoot()
                    .getKey("/OutputIntents")
                    .getArrayItem(0)
                    .getKey("/DestOutputProfile")
                    .getStreamData();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data->getBuffer()), data->getSize()),
              "not really an ICC profile");
}

TEST(ImportRegistryTest, PlacedPagesRenderUprightAndClipped)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    PdfBuilder b;
    // Red in the lower left corner of user space, green in the upper right,
    // blue outside the crop box; shown turned clockwise by a quarter.
    b.addPage("[0 0 200 100]",
              "1 0 0 rg 0 0 20 20 re f 0 1 0 rg 160 60 20 20 re f 0 0 1 rg 180 0 20 100 re f",
              "/Rotate 90 /CropBox [0 0 180 100]");
    std::string source = dir.file("rotated.pdf");
    b.write(source);
    auto doc = ImportedDocument::open(source, {});

    Output out;
    ImportRegistry registry(out.pdf, out.deflater);
    PlacementOptions adjust;
    adjust.adjustPage = true;
    PagePlacement placement = PagePlacement::compute(doc->geometry(1), PageBox::Crop, 0, 0, adjust);
    ASSERT_EQ(placement.pageSize(), std::make_pair(100.0, 180.0));
    out.addPage(registry.formXObject(doc, 1), placement, 100, 180);
    std::string written = dir.file("placed.pdf");
    out.write(written);

    enginetest::Raster p = enginetest::render(written);
    ASSERT_EQ(p.width, 100);
    ASSERT_EQ(p.height, 180);
    EXPECT_EQ(p.colour(5, 174), 'r');  // lower left of user space: top left when upright
    EXPECT_EQ(p.colour(75, 14), 'g');  // upper right (160..180, 60..80): bottom right
    EXPECT_EQ(p.colour(50, 89), 'w');
    EXPECT_EQ(p.colour(50, 1), 'w');  // no blue: it lies outside the crop box
}

TEST(ImportRegistryTest, ImportingLeavesTheImportedDocumentAsItWas)
{
    testsupport::TempDir dir;
    std::string path = dir.file("inherit.pdf");
    testsupport::writeFile(path, fixtures::rawPdf({
                                     "<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 400 500] "
                                     "/Resources << /ProcSet [/PDF] >> >>",
                                     "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
                                     "<< /Length 9 >>\nstream\n0 0 m 1 1\nendstream",
                                 }));
    auto doc = ImportedDocument::open(path, {});
    Output out;
    ImportRegistry registry(out.pdf, out.deflater);
    QPDFObjectHandle form = registry.formXObject(doc, 1);
    EXPECT_EQ(PdfRect::fromObject(form.getDict().getKey("/BBox")), (PdfRect{0, 0, 400, 500}));
    EXPECT_TRUE(form.getDict().getKey("/Resources").getKey("/ProcSet").isArray());
    PcosQuery q(*doc);
    EXPECT_EQ(q.number("type:/Root/Pages/Kids[0]/MediaBox"), 0);
    EXPECT_EQ(q.number("type:/Root/Pages/Kids[0]/Resources"), 0);
    EXPECT_EQ(q.number("type:/Root/Pages/Kids[0]/Parent"), 6);
    EXPECT_EQ(q.number("length:/Root/Pages/Kids[0]"), 3);
}
