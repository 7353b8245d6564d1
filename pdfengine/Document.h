// The output document between PDF_begin_document and PDF_end_document: a
// qpdf object model that pages, shared resources and document information
// are added to, written at the end by qpdf's writer.
//
// Extension points for the code that adds fonts, imported pages, images and
// fields:
// - shared(): objects made once and used by many pages, found by key;
// - resources(): document-wide resource names, used through Page::useResource;
// - keepAlive(): imported documents (separate QPDF objects whose objects were
//   copied in with QPDF::copyForeignObject) stay alive until the file is
//   written, even after their handle was closed;
// - addEndHook(): work that needs the whole document, such as subsetting
//   fonts over every text shown, runs before the file is written;
// - raiseVersion(): an imported document raises the header version unless
//   compatibility was given;
// - importRegistry(): the form XObjects made of imported pages, one per
//   imported page however often it is placed.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pdfengine/ContentCompressor.h"
#include "pdfengine/Deflater.h"
#include "pdfengine/Encryption.h"
#include "pdfengine/Page.h"
#include "pdfengine/Qpdf.h"
#include "pdfengine/ResourceRegistry.h"
#include "pdfengine/SharedObjects.h"

namespace pdfengine {

class ImportRegistry;

class Document {
public:
    Document(PdfVersion version, bool versionGiven, Encryption encryption, bool deterministic);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    QPDF& pdf() { return *pdf_; }
    SharedObjects& shared() { return shared_; }
    ResourceRegistry& resources() { return resources_; }
    void keepAlive(std::shared_ptr<QPDF> source) { sources_.push_back(std::move(source)); }
    void addEndHook(std::function<void(Document&)> hook) { endHooks_.push_back(std::move(hook)); }
    ImportRegistry& importRegistry();
    // The compressor of the streams the engine makes itself on the document's
    // thread: font programs and maps, imported pages' content, and the page of a
    // one-page document. One for the document, since setting one up costs more
    // than compressing a page; the pages of a longer document are compressed by
    // a worker thread with a compressor of its own.
    Deflater& deflater() { return deflater_; }

    PdfVersion version() const { return version_; }
    void raiseVersion(PdfVersion version);

    // An entry of the document information dictionary; key without the slash.
    void setInfo(const std::string& key, QPDFObjectHandle value);

    bool pageOpen() const { return page_ != nullptr; }
    Page& page() { return *page_; }
    // The page dictionary of the open page (an indirect object), for
    // annotations and fields that must refer to it.
    QPDFObjectHandle pageDictionary() { return pageDictionary_; }
    int pageCount() const { return static_cast<int>(kids_.size()); }

    void beginPage(double width, double height);
    // Completes the open page (size, resources, compressed content) and adds
    // it to the document.
    void endPage();
    // Drops the open page: after a fatal error nothing of it is written.
    void discardPage();

    // Runs the end hooks, completes the information dictionary and the page
    // tree, and writes the file through `out`.
    void write(Pipeline& out);
    // Ends the thread that compresses the pages' content, for a written document
    // that is kept rather than freed.
    void stopWorker() { compressor_.stop(); }

private:
    // Gives the streams whose content is compressed their data, in page order;
    // with `wait`, all of them.
    void installContents(bool wait);

    // Declared first so that they outlive the output's objects.
    std::vector<std::shared_ptr<QPDF>> sources_;
    std::unique_ptr<ImportRegistry> imports_;
    std::unique_ptr<QPDF> pdf_;
    PdfVersion version_;
    bool versionGiven_;
    Encryption encryption_;
    bool deterministic_;
    SharedObjects shared_;
    ResourceRegistry resources_;
    Deflater deflater_;
    ContentCompressor compressor_;  // after deflater_, which it uses
    // The pages' content streams still waiting for their data, each with its
    // compressor ticket, oldest first.
    std::deque<std::pair<QPDFObjectHandle, size_t>> pendingContents_;
    std::vector<std::function<void(Document&)>> endHooks_;
    QPDFObjectHandle info_;
    QPDFObjectHandle pagesRoot_;
    std::vector<QPDFObjectHandle> kids_;
    std::unique_ptr<Page> page_;
    QPDFObjectHandle pageDictionary_;
    QPDFObjectHandle mediaBox_;  // of the last page, for the next of that size
    double mediaBoxWidth_ = 0;
    double mediaBoxHeight_ = 0;
};

// The PDF date of now ("D:20240131120000+09'00'"), or a fixed date in the
// deterministic mode.
std::string pdfDate(bool deterministic);

}  // namespace pdfengine
