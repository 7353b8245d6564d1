// Damaged and hostile PDFs end in a PdiError, never in a crash or a hang;
// repair=never refuses what qpdf would have to repair.
#include <gtest/gtest.h>

#include "pdfengine/ImportRegistry.h"
#include "pdfengine/ImportedDocument.h"
#include "pdfengine/PcosQuery.h"
#include "tests/pdi/PdiTestSupport.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;
using testsupport::TempDir;

namespace {

const char* const catalog = "<< /Type /Catalog /Pages 2 0 R >>";
const char* const pages = "<< /Type /Pages /Kids [3 0 R] /Count 1 >>";
const char* const page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>";

std::string stream(const std::string& data, const std::string& entries = "")
{
    return "<< /Length " + std::to_string(data.size()) + " " + entries + " >>\nstream\n" + data +
           "\nendstream";
}

// Five bytes inserted before the objects: every object's offset in the
// table is wrong, while startxref still finds the table.
std::string withShiftedOffsets(const std::string& good)
{
    std::string shifted = good;
    shifted.insert(shifted.find("1 0 obj"), "%abc\n");
    size_t xref = shifted.find("xref\n");
    return shifted.substr(0, shifted.rfind("startxref")) + "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

ImportOptions neverRepair()
{
    ImportOptions options;
    options.repair = RepairMode::Never;
    return options;
}

// Opens the file and imports its first page into an empty output document,
// as PDF_open_pdi_document, PDF_open_pdi_page and PDF_fit_pdi_page would.
void openAndImport(const std::string& path, const ImportOptions& options = {})
{
    auto doc = ImportedDocument::open(path, options);
    QPDF output;
    output.emptyPDF();
    Deflater deflater(1);
    ImportRegistry registry(output, deflater);
    registry.formXObject(doc, 1);
}

class HostileFilesTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes)
    {
        std::string path = dir_.file(name);
        testsupport::writeFile(path, bytes);
        return path;
    }

    TempDir dir_;
};

}  // namespace

TEST_F(HostileFilesTest, WrongCrossReferenceOffsetsAreRepairedOnlyWhenAllowed)
{
    std::string good = fixtures::rawPdf({catalog, pages, page, stream("0 0 m 10 10 l S")});
    std::string path = write("shifted.pdf", withShiftedOffsets(good));

    auto doc = ImportedDocument::open(path, {});
    EXPECT_EQ(doc->pageCount(), 1);
    EXPECT_FALSE(doc->repairs().empty());
    openAndImport(path);
    EXPECT_PDI_ERROR(openAndImport(path, neverRepair()), PdiErrorKind::Damaged,
                     "PDF file '" + path + "' is damaged");
}

// Files up to 16 MB are read into memory at once, larger ones by qpdf as it
// goes. Both open the same document, and damage is repaired, or refused with
// repair=never, alike.
TEST_F(HostileFilesTest, LargeFilesReadAsSmallOnesDo)
{
    for (size_t padding : {size_t(100), size_t(17) << 20}) {
        const std::string content = "0 0 m 10 10 l S\n%" + std::string(padding, 'x') + "\n";
        std::string good = fixtures::rawPdf({catalog, pages, page, stream(content)});
        std::string name = std::to_string(padding);
        std::string path = write(name + ".pdf", good);

        auto doc = ImportedDocument::open(path, {});
        EXPECT_EQ(doc->pageCount(), 1) << name;
        EXPECT_TRUE(doc->repairs().empty()) << name;
        EXPECT_EQ(doc->geometry(1).media, (PdfRect{0, 0, 200, 100})) << name;
        QPDF output;
        output.emptyPDF();
        Deflater deflater(1);
        ImportRegistry registry(output, deflater);
        QPDFObjectHandle form = registry.formXObject(doc, 1);
        EXPECT_TRUE(form.getStreamData(qpdf_dl_generalized)->getSize() == content.size()) << name;

        std::string damaged = write(name + "-shifted.pdf", withShiftedOffsets(good));
        auto repaired = ImportedDocument::open(damaged, {});
        EXPECT_EQ(repaired->pageCount(), 1) << name;
        EXPECT_FALSE(repaired->repairs().empty()) << name;
        EXPECT_PDI_ERROR(openAndImport(damaged, neverRepair()), PdiErrorKind::Damaged,
                         "PDF file '" + damaged + "' is damaged");
    }
}

TEST_F(HostileFilesTest, TruncatedFiles)
{
    fixtures::PdfBuilder b;
    for (int i = 0; i < 5; ++i)
        b.addPage("[0 0 300 300]", std::string(2000, ' ') + "0 0 m 100 100 l S");
    std::string full = dir_.file("full.pdf");
    b.write(full);
    std::string bytes = testsupport::readFile(full);
    for (size_t cut : {bytes.size() / 2, bytes.size() - 20, size_t(40), size_t(9)}) {
        SCOPED_TRACE(cut);
        std::string path = write("cut.pdf", bytes.substr(0, cut));
        // Repair may rescue part of the file; if it does, importing must still
        // fail cleanly or work.
        try {
            openAndImport(path);
        } catch (const PdiError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_THROW(openAndImport(path, neverRepair()), PdiError);
    }
}

TEST_F(HostileFilesTest, BrokenPageTrees)
{
    // No /Pages in the catalog.
    std::string noPages = write("nopages.pdf", fixtures::rawPdf({"<< /Type /Catalog >>"}));
    EXPECT_PDI_ERROR(ImportedDocument::open(noPages, {}), PdiErrorKind::Damaged, "(no page tree)");
    // No catalog.
    std::string noRoot = write("noroot.pdf", fixtures::rawPdf({"<< /Type /Pages /Kids [] /Count 0 >>"}, ""));
    EXPECT_THROW(ImportedDocument::open(noRoot, {}), PdiError);
    // A kid that is the tree's own root.
    std::string loop = write(
        "loop.pdf",
        fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R 2 0 R] /Count 2 >>", page, stream("")}));
    EXPECT_PDI_ERROR(ImportedDocument::open(loop, {}), PdiErrorKind::Damaged, "reaches node 2 0 R twice");
    // A subtree shared twice over, which would otherwise double at every level.
    std::vector<std::string> objects{catalog, "<< /Type /Pages /Kids [3 0 R 3 0 R] /Count 4 >>",
                                     "<< /Type /Pages /Kids [4 0 R 4 0 R] /Count 2 >>", page};
    EXPECT_PDI_ERROR(ImportedDocument::open(write("dag.pdf", fixtures::rawPdf(objects)), {}),
                     PdiErrorKind::Damaged, "reaches node 3 0 R twice");
    // A page whose /Parent links go round in a circle and which inherits
    // nothing: qpdf must not follow the links for ever.
    std::string parentLoop = write(
        "parents.pdf", fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 1 /Parent 5 0 R >>",
                                         "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
                                         stream("0 0 m 5 5 l S"), "<< /Type /Pages /Parent 2 0 R >>"}));
    openAndImport(parentLoop);
    // A very deep chain of /Pages nodes: walked without recursion, and refused
    // before qpdf walks it recursively while copying.
    auto chainOfNodes = [](int depth) {
        std::vector<std::string> objects{catalog};
        for (int i = 0; i < depth; ++i)
            objects.push_back("<< /Type /Pages /Kids [" + std::to_string(i + 3) + " 0 R] /Count 1 >>");
        // Resources with an indirect object, so that copying them makes qpdf walk the tree.
        objects.push_back("<< /Type /Page /MediaBox [0 0 10 10] /Resources << /Font << /F1 " +
                          std::to_string(depth + 3) + " 0 R >> >> >>");
        objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>");
        return fixtures::rawPdf(objects);
    };
    EXPECT_PDI_ERROR(ImportedDocument::open(write("deep.pdf", chainOfNodes(100000)), {}),
                     PdiErrorKind::Damaged, "(the page tree is nested more than 256 levels deep)");
    openAndImport(write("deepest.pdf", chainOfNodes(255)));
}

TEST_F(HostileFilesTest, ResourcesThatAreThePageTree)
{
    // The page tree node where the page's resources or group belong, directly and
    // one level down: the form gets empty resources and no group, and the output
    // is written whole.
    for (const char* entries :
         {"/Resources 2 0 R", "/Resources << /XObject 2 0 R /Font << /F1 2 0 R >> >>", "/Group 2 0 R"}) {
        SCOPED_TRACE(entries);
        const std::string path =
            write("tree.pdf",
                  fixtures::rawPdf({catalog, pages,
                                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R " +
                                        std::string(entries) + " >>",
                                    stream("0 0 m 5 5 l S")}));
        auto doc = ImportedDocument::open(path, {});
        QPDF output;
        output.emptyPDF();
        Deflater deflater(1);
        ImportRegistry registry(output, deflater);
        QPDFObjectHandle form = registry.formXObject(doc, 1);
        QPDFObjectHandle resources = form.getDict().getKey("/Resources");
        ASSERT_TRUE(resources.isDictionary());
        for (auto [key, value] : resources.ditems())
            EXPECT_FALSE(value.isDictionary() && value.hasKey("/Kids")) << key;
        EXPECT_FALSE(form.getDict().hasKey("/Group"));
        output.getRoot().replaceKey("/Form", form);
        const std::string written = dir_.file("out.pdf");
        QPDFWriter writer(output, written.c_str());
        writer.write();
        EXPECT_NE(testsupport::readFile(written).find("/Subtype /Form"), std::string::npos);
    }
}

TEST_F(HostileFilesTest, StreamLengthsThatLie)
{
    std::string content = "0 0 m 10 10 l S";
    std::string huge = "<< /Length 1073741824 >>\nstream\n" + content + "\nendstream";
    std::string path = write("length.pdf", fixtures::rawPdf({catalog, pages, page, huge}));
    openAndImport(path);  // qpdf finds the real end of the stream
    EXPECT_PDI_ERROR(openAndImport(path, neverRepair()), PdiErrorKind::Damaged, "is damaged");

    std::string negative = "<< /Length -5 >>\nstream\n" + content + "\nendstream";
    openAndImport(write("negative.pdf", fixtures::rawPdf({catalog, pages, page, negative})));
}

TEST_F(HostileFilesTest, DeepNestingAndReferenceChains)
{
    // Arrays nested 100000 deep in an object of the page: qpdf gives up on the
    // object and reads it as null.
    std::string deep = std::string(100000, '[') + std::string(100000, ']');
    std::string path =
        write("nested.pdf", fixtures::rawPdf({catalog, pages,
                                              "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] "
                                              "/Contents 4 0 R /Deep 5 0 R >>",
                                              stream(""), deep}));
    {
        auto doc = ImportedDocument::open(path, {});
        PcosQuery query(*doc);
        EXPECT_EQ(query.number("type:pages[0]/Deep"), 0);
        EXPECT_FALSE(doc->repairs().empty());
        openAndImport(path);
    }
    auto strict = ImportedDocument::open(path, neverRepair());
    EXPECT_PDI_ERROR(PcosQuery(*strict).number("type:pages[0]/Deep"), PdiErrorKind::Damaged,
                     "repair=never forbids repairing it");

    // Resources that lead through a chain of 100000 references: copying them
    // would recurse that deep inside qpdf, which overflows its stack.
    std::vector<std::string> chain{catalog, pages,
                                   "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R "
                                   "/Resources << /Properties << /P0 5 0 R >> >> >>",
                                   stream("")};
    const int links = 100000;
    for (int i = 0; i < links; ++i)
        chain.push_back("[" + std::to_string(i + 6) + " 0 R]");
    chain.push_back("(end)");
    std::string chained = write("chain.pdf", fixtures::rawPdf(chain));
    EXPECT_PDI_ERROR(openAndImport(chained), PdiErrorKind::TooComplex, "nested more than 1000 levels");

    // An object that is a reference to itself, and two that refer to each other.
    std::string self = write("self.pdf", fixtures::rawPdf({catalog, pages,
                                                           "<< /Type /Page /Parent 2 0 R /Contents 4 0 R "
                                                           "/Resources 5 0 R /Rotate 6 0 R >>",
                                                           stream(""), "5 0 R", "7 0 R", "6 0 R"}));
    auto selfDoc = ImportedDocument::open(self, {});
    EXPECT_EQ(selfDoc->geometry(1).rotate, 0);
    openAndImport(self);
}

TEST_F(HostileFilesTest, ContentThatCannotBeDecodedOrDecodesTooFar)
{
    std::string garbage = stream("this is not deflated", "/Filter /FlateDecode");
    std::string path = write("garbage.pdf", fixtures::rawPdf({catalog, pages, page, garbage}));
    EXPECT_PDI_ERROR(openAndImport(path), PdiErrorKind::Damaged,
                     "The content of page 1 of PDF file '" + path);

    // 3 MB of blanks compressed to a few kilobytes, against a limit of 1 MB.
    fixtures::PdfBuilder b;
    b.addPage("[0 0 100 100]", std::string(3 << 20, ' '));
    std::string bomb = dir_.file("bomb.pdf");
    b.write(bomb);
    ASSERT_LT(testsupport::readFile(bomb).size(), 100000u);
    ImportOptions small;
    small.maxStreamBytes = 1 << 20;
    EXPECT_PDI_ERROR(openAndImport(bomb, small), PdiErrorKind::TooComplex,
                     "decodes to more than 1048576 bytes");
    openAndImport(bomb);
}

TEST_F(HostileFilesTest, CrossReferenceLoopsAndGarbage)
{
    // Two cross-reference sections whose /Prev point at each other.
    std::string base = fixtures::rawPdf({catalog, pages, page, stream("")});
    size_t start = base.rfind("startxref\n") + 10;
    std::string offset = base.substr(start, base.find('\n', start) - start);
    std::string looped = base;
    looped.replace(looped.find("/Root 1 0 R"), 11, "/Root 1 0 R /Prev " + offset);
    openAndImport(write("prev.pdf", looped));

    // A header followed by random bytes.
    std::string noise = "%PDF-1.4\n";
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245 + 12345;
        noise += static_cast<char>(state >> 16);
    }
    EXPECT_THROW(openAndImport(write("noise.pdf", noise)), PdiError);
}
