// The imported PDFs of one handle: the documents and pages opened with
// PDF_open_pdi_document and PDF_open_pdi_page under their handle numbers, and
// what the calls that use them do (placing pages, copying output intents,
// pCOS queries). The output document keeps what it took from them (its
// ImportRegistry); this class keeps only what the handle has open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdfengine/ImportedDocument.h"
#include "pdfengine/Settings.h"

namespace pdfengine {

class Document;

class Imports {
public:
    // Returns the new handle. A file that cannot be opened, read or
    // decrypted is a recoverable EngineError (22xx). The file is found as it
    // is named, else in the SearchPath folders. While an output document or
    // an open handle still holds the same unchanged file opened with the same
    // options, that copy is shared, so that a document closed and opened
    // again keeps the form XObjects the output already made of its pages.
    // The file the open output document will be written to (`output`, empty
    // when none or in memory) is refused: writing would replace it.
    int openDocument(std::string_view fileName, std::string_view optlist, const Settings& settings,
                     const std::string& output = "");
    // The open document the output file `target` would replace, or null.
    const ImportedDocument* replacedBy(const std::string& target) const;
    // Returns the new handle of page `number` (from 1). A page that does not
    // exist or cannot be placed is a recoverable EngineError.
    int openPage(int document, int number, std::string_view optlist);
    // Closing a handle that was closed before does nothing; closing a
    // document closes its pages.
    void closeDocument(int document);
    void closePage(int page);

    // Places the page on the output's current page and notes where.
    void fitPage(int page, double x, double y, std::string_view optlist, Document& output);
    // The block definitions of an open page, in name order and by name, and
    // the page as messages name it ("page 1 of PDF file 'x.pdf'"). Index errors for a page
    // handle that is not open.
    const PageBlocks& blocks(int page) const;
    std::string describePage(int page) const;

    // PDF_process_pdi: returns 1.
    int process(int document, int page, std::string_view optlist, Document& output);

    double pcosNumber(int document, std::string_view path);
    // The results stay valid until the next call of the same kind.
    const std::string& pcosString(int document, std::string_view path);
    const std::string& pcosStream(int document, std::string_view path, std::string_view optlist);

private:
    struct OpenPage {
        int document;
        std::shared_ptr<ImportedDocument> source;
        int number;
        PageBox box;
    };

    const std::shared_ptr<ImportedDocument>& document(int handle) const;
    const OpenPage& page(int handle) const;
    // A file as it was when opened, with what decides how it reads.
    struct Opened {
        std::string path;  // canonical
        uintmax_t size;
        std::filesystem::file_time_type modified;
        std::string password;
        RepairMode repair;
        std::weak_ptr<ImportedDocument> document;
    };

    std::shared_ptr<ImportedDocument> openShared(const std::string& path, const ImportOptions& options);

    std::map<int, std::shared_ptr<ImportedDocument>> documents_;
    std::map<int, OpenPage> pages_;
    // Documents opened before, shared while anything still holds them.
    std::vector<Opened> opened_;
    int nextDocument_ = 1;
    int nextPage_ = 1;
    // Why the last open failed, for the message of a later call given -1.
    std::string documentFailure_;
    std::string pageFailure_;
    std::string string_;
    std::string stream_;
};

}  // namespace pdfengine
