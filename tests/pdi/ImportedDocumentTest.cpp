// Opening imported PDFs: the errors a user can meet, encryption, and the
// page tree walk.
#include "pdfengine/ImportedDocument.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/pdi/PdiTestSupport.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;
using fixtures::PdfBuilder;
using testsupport::TempDir;

namespace {

std::string writeSimplePdf(const TempDir& dir, const std::string& name, int pages = 1,
                           const fixtures::WriteOptions& options = {})
{
    PdfBuilder b;
    for (int i = 0; i < pages; ++i)
        b.addPage("[0 0 " + std::to_string(100 + i) + " 200]");
    std::string path = dir.file(name);
    b.write(path, options);
    return path;
}

ImportOptions withPassword(const std::string& password)
{
    ImportOptions options;
    options.password = password;
    return options;
}

}  // namespace

TEST(ImportedDocumentTest, OpensAPdfAndCountsItsPages)
{
    TempDir dir;
    auto doc = ImportedDocument::open(writeSimplePdf(dir, "three.pdf", 3), {});
    EXPECT_EQ(doc->pageCount(), 3);
    EXPECT_EQ(doc->fileName(), dir.file("three.pdf"));
    EXPECT_TRUE(doc->repairs().empty());
    EXPECT_EQ(doc->geometry(2).media, (PdfRect{0, 0, 101, 200}));
    EXPECT_EQ(doc->encryption().algorithm, EncryptionInfo::Algorithm::None);
    EXPECT_PDI_ERROR(
        doc->page(0), PdiErrorKind::PageOutOfRange,
        "Page 0 of PDF file '" + dir.file("three.pdf") + "' does not exist (the document has 3 pages)");
    EXPECT_PDI_ERROR(doc->geometry(4), PdiErrorKind::PageOutOfRange, "Page 4");
}

TEST(ImportedDocumentTest, FilesThatCannotBeOpenedGiveClearErrors)
{
    TempDir dir;
    std::string missing = dir.file("missing.pdf");
    EXPECT_PDI_ERROR(ImportedDocument::open(missing, {}), PdiErrorKind::FileNotFound,
                     "Couldn't open PDF file '" + missing + "' for reading (file not found)");
    EXPECT_PDI_ERROR(ImportedDocument::open(dir.path().string(), {}), PdiErrorKind::CannotRead,
                     "(it is a folder)");

    std::string text = dir.file("notes.pdf");
    testsupport::writeFile(text, "These are notes, not a PDF.\n");
    EXPECT_PDI_ERROR(ImportedDocument::open(text, {}), PdiErrorKind::NotPdf,
                     "Couldn't open PDF file '" + text + "' (not a PDF file)");
    std::string empty = dir.file("empty.pdf");
    testsupport::writeFile(empty, "");
    EXPECT_PDI_ERROR(ImportedDocument::open(empty, {}), PdiErrorKind::NotPdf, "(not a PDF file)");

    if (geteuid() != 0) {  // root reads anything
        std::string locked = writeSimplePdf(dir, "locked.pdf");
        chmod(locked.c_str(), 0);
        EXPECT_PDI_ERROR(ImportedDocument::open(locked, {}), PdiErrorKind::CannotRead, "(permission denied)");
    }
}

TEST(ImportedDocumentTest, EncryptedFilesOpenWithTheUserOrTheMasterPassword)
{
    TempDir dir;
    struct Case {
        fixtures::Encryption encryption;
        EncryptionInfo::Algorithm algorithm;
        int keyLength;
        const char* description;
    };
    const Case cases[] = {
        {fixtures::Encryption::Rc4_40, EncryptionInfo::Algorithm::Rc4, 40, "RC4 40-bit"},
        {fixtures::Encryption::Rc4_128, EncryptionInfo::Algorithm::Rc4, 128, "RC4 128-bit"},
        {fixtures::Encryption::Aes128, EncryptionInfo::Algorithm::Aes128, 128, "AES 128-bit"},
        {fixtures::Encryption::Aes256, EncryptionInfo::Algorithm::Aes256, 256, "AES 256-bit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        std::string path = writeSimplePdf(dir, "secret.pdf", 2, {c.encryption, "user", "master"});
        EXPECT_PDI_ERROR(ImportedDocument::open(path, {}), PdiErrorKind::PasswordRequired,
                         "PDF file '" + path + "' requires a password");
        EXPECT_PDI_ERROR(ImportedDocument::open(path, withPassword("guess")), PdiErrorKind::WrongPassword,
                         "Wrong password for PDF file '" + path + "'");
        for (const char* password : {"user", "master"}) {
            auto doc = ImportedDocument::open(path, withPassword(password));
            EXPECT_EQ(doc->pageCount(), 2);
            EXPECT_EQ(doc->encryption().algorithm, c.algorithm);
            EXPECT_EQ(doc->encryption().keyLength, c.keyLength);
            EXPECT_EQ(doc->encryption().description, c.description);
        }
    }
    // Only a master password: anyone may open it.
    std::string open = writeSimplePdf(dir, "open.pdf", 1, {fixtures::Encryption::Aes128, "", "master"});
    EXPECT_EQ(ImportedDocument::open(open, {})->pageCount(), 1);
}

TEST(ImportedDocumentTest, PageTreeWalkInheritsAndSkipsWhatIsNoPage)
{
    TempDir dir;
    // Two levels: the inner node gives its pages a media box, a rotation and
    // resources; one kid is a number, another a dangling reference.
    std::string pdf = fixtures::rawPdf({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 3 /MediaBox [0 0 500 500] >>",
        "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 42 99 0 R 6 0 R] /Count 2 /Rotate 90 "
        "/MediaBox [0 0 300 400] /Resources << /Font << >> >> >>",
        "<< /Type /Page /Parent 2 0 R >>",
        "<< /Type /Page /Parent 3 0 R /Rotate 180 >>",
        "<< /Parent 3 0 R /MediaBox [10 10 110 60] >>",
    });
    std::string path = dir.file("tree.pdf");
    testsupport::writeFile(path, pdf);
    auto doc = ImportedDocument::open(path, {});
    ASSERT_EQ(doc->pageCount(), 3);
    EXPECT_EQ(doc->geometry(1).rotate, 180);
    EXPECT_EQ(doc->geometry(1).media, (PdfRect{0, 0, 300, 400}));
    EXPECT_TRUE(doc->page(1).attribute("/Resources").isDictionary());
    EXPECT_EQ(doc->geometry(2).rotate, 90);
    EXPECT_EQ(doc->geometry(2).media, (PdfRect{10, 10, 110, 60}));
    EXPECT_EQ(doc->geometry(3).rotate, 0);
    EXPECT_EQ(doc->geometry(3).media, (PdfRect{0, 0, 500, 500}));
    EXPECT_TRUE(doc->page(3).attribute("/Resources").isNull());
}

TEST(ImportedDocumentTest, VersionIsTheHigherOfHeaderAndCatalog)
{
    TempDir dir;
    std::string path = dir.file("v.pdf");
    testsupport::writeFile(path, fixtures::rawPdf({"<< /Type /Catalog /Pages 2 0 R /Version /1.7 >>",
                                                   "<< /Type /Pages /Kids [] /Count 0 >>"}));
    auto doc = ImportedDocument::open(path, {});
    EXPECT_EQ(doc->pdfVersion(), "1.7");
    EXPECT_EQ(doc->pageCount(), 0);
    EXPECT_PDI_ERROR(doc->page(1), PdiErrorKind::PageOutOfRange, "(the document has 0 pages)");
}
