// A PDF opened for import: its qpdf document, its pages and their blocks. It is
// read-only to the rest of the engine and held by shared_ptr, because the output
// documents that copied pages from it keep it alive until they are written.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdfengine/BlockDefinition.h"
#include "pdfengine/PageBlocks.h"
#include "pdfengine/PageGeometry.h"
#include "pdfengine/PageTree.h"
#include "pdfengine/PdfText.h"

namespace pdfengine {

enum class RepairMode { Never, Auto };

struct ImportOptions {
    // The user or the master password; empty for none.
    std::string password;
    // auto lets qpdf rebuild a damaged cross-reference table; never refuses a
    // file that needs it.
    RepairMode repair = RepairMode::Auto;
    // Decodes block and other names that are not UTF-8 (code page 932 in the engine).
    NameDecoder legacyNames;
    // The most bytes a stream may decode to, for the content of an imported page
    // and for pCOS stream queries; beyond it the stream is refused rather than
    // let a small compressed stream fill the memory.
    size_t maxStreamBytes = size_t(256) << 20;
};

struct EncryptionInfo {
    enum class Algorithm { None = 0, Rc4 = 1, Aes128 = 2, Aes256 = 3, Unknown = -1 };
    Algorithm algorithm = Algorithm::None;
    int keyLength = 0;  // bits
    std::string description;
};

// The major and minor number of a version text ("1.7" gives {1, 7}); {0, 0} for
// anything that is not a PDF version.
std::pair<int, int> pdfVersionNumbers(const std::string& version);

class ImportedDocument {
public:
    // Opens the file. Throws PdiError: FileNotFound, CannotRead, NotPdf,
    // PasswordRequired, WrongPassword, Unsupported or Damaged.
    static std::shared_ptr<ImportedDocument> open(const std::string& fileName, const ImportOptions& options);

    ImportedDocument(const ImportedDocument&) = delete;
    ImportedDocument& operator=(const ImportedDocument&) = delete;
    ~ImportedDocument();

    const std::string& fileName() const { return fileName_; }
    const ImportOptions& options() const { return options_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }

    // Pages are numbered from 1. Throws PdiError (PageOutOfRange).
    const PageNode& page(int number) const;
    // Throws PdiError (PageOutOfRange, BadPage).
    const PageGeometry& geometry(int number) const;
    // The page's blocks in name order, read once, and found by name.
    const std::vector<BlockDefinition>& blocks(int number) const;
    const PageBlocks& pageBlocks(int number) const;

    // "1.4"; the header's version, or the catalog's /Version when that is higher.
    std::string pdfVersion() const;
    const EncryptionInfo& encryption() const { return encryption_; }
    // What qpdf had to repair so far, one message each (the first 100); empty
    // for a sound file. qpdf reads objects when they are first used, so damage
    // can come to light at any time after opening.
    const std::vector<std::string>& repairs() const { return repairs_; }

    // Takes note of what qpdf repaired since the last call; with repair=never,
    // throws PdiError (Damaged) instead. The import and query code calls it
    // after every use of the document.
    void checkRepairs() const;

    // The qpdf document. Not const: qpdf resolves objects lazily even to read
    // them. The import code adds the objects it needs to turn pages into form
    // XObjects; nothing of it is ever written back to the file.
    QPDF& qpdf() const { return *pdf_; }

    // "page 3 of PDF file 'x.pdf'", for messages.
    std::string describePage(int number) const;

private:
    ImportedDocument() = default;
    void checkPageNumber(int number) const;

    std::string fileName_;
    ImportOptions options_;
    std::string bytes_;  // the file, when read at once; qpdf reads it in place, so it goes after pdf_
    std::unique_ptr<QPDF> pdf_;
    std::vector<PageNode> pages_;
    EncryptionInfo encryption_;
    mutable std::vector<std::string> repairs_;
    mutable std::map<int, PageGeometry> geometries_;
    mutable std::map<int, PageBlocks> blocks_;
};

}  // namespace pdfengine
