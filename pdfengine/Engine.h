// The core behind one PDF handle: global options, the API trace, the open
// document with its current page, and the bytes of the last in-memory
// document. The C functions check the scope, call one method here and turn
// what it throws into the error protocol (ApiCall.h).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "pdfengine/ApiTrace.h"
#include "pdfengine/Document.h"
#include "pdfengine/GraphicsOptions.h"
#include "pdfengine/ImageRegistry.h"
#include "pdfengine/Imports.h"
#include "pdfengine/OutputFile.h"
#include "pdfengine/Settings.h"

namespace pdfengine {

class BlockFiller;
class FontRegistry;
class FormFields;

// Scopes as bits, so a call can allow several. Path is the part of page
// scope between starting a path and painting it, where only path operators
// are valid PDF.
enum Scope : unsigned {
    ObjectScope = 1,
    DocumentScope = 2,
    PageScope = 4,
    PathScope = 8,
    AnyScope = 15,
};

const char* scopeName(Scope scope);

class Engine {
public:
    Engine();
    ~Engine();

    // For a program that exits soon after its documents are written: each written
    // document is kept until the exit instead of being freed, which for a long
    // document (tens of thousands of objects) costs milliseconds. Process-wide.
    static void keepWrittenDocumentsUntilExit();

    Scope scope() const;
    // Throws EngineError (3001) when the current scope is not among `allowed`.
    void requireScope(const char* api, unsigned allowed) const;

    Settings& settings() { return settings_; }
    // The imported documents and pages the handle has open.
    Imports& imports() { return imports_; }
    ApiTrace& trace() { return trace_; }
    // The fonts loaded with this handle.
    FontRegistry& fonts() { return *fonts_; }
    // A remark a call adds to its trace line (characters shown as notdef...);
    // several remarks of one call are joined by "; ".
    void noteForTrace(const std::string& note) { traceNote_ += traceNote_.empty() ? note : "; " + note; }
    std::string takeTraceNote() { return std::exchange(traceNote_, std::string()); }

    // A fatal error was reported: the open document will write no file, and
    // the closing calls stop failing for state reasons.
    void noteFatalError() { failed_ = true; }
    bool failed() const { return failed_; }

    void setOptions(std::string_view optlist);
    void setParameter(std::string_view key, std::string_view value);
    const char* getString(int index, std::string_view optlist);
    void setInfo(std::string_view key, std::string_view value);

    // Returns 1. Throws EngineError; a file that cannot be created is a
    // recoverable error (-1 under errorpolicy=return).
    int beginDocument(std::string_view filename, std::string_view optlist);
    void endDocument(std::string_view optlist);
    std::string_view buffer() const;

    void beginPage(double width, double height, std::string_view optlist);
    void endPage(std::string_view optlist);

    // The open document and page; the scope check guarantees they exist.
    Document& document() { return *document_; }
    Document* openDocument() { return document_.get(); }
    // The file the open document will be written to; empty when there is none or
    // it is written to memory.
    const std::string& outputFileName() const;
    Page& page() { return document_->page(); }

    void setGraphicsOptions(std::string_view optlist);
    void setColor(std::string_view fstype, std::string_view colorspace, double c1, double c2, double c3,
                  double c4);

    // The form fields of the open document, made by the first field call.
    FormFields& fields();

    // Loaded images; they outlive documents until their handles are closed.
    ImageRegistry& images() { return images_; }

    // Fills the blocks of imported pages; made by the first fill.
    BlockFiller& blockFiller();

    // Tests make the next output files fail at a chosen step.
    void setOutputFault(OutputFault fault) { outputFault_ = fault; }

private:
    void writeDocument(Document& document);

    Settings settings_;
    std::string repeatedOutlines_;  // an option list that only repeated registrations
    ApiTrace trace_;
    Imports imports_;
    ImageRegistry images_;
    std::unique_ptr<Document> document_;
    std::string filename_;
    std::string buffer_;
    bool haveBuffer_ = false;
    bool failed_ = false;
    OutputFault outputFault_ = OutputFault::None;
    std::unique_ptr<FontRegistry> fonts_;
    std::string traceNote_;
    std::shared_ptr<FormFields> fields_;
    std::unique_ptr<BlockFiller> blockFiller_;
    GraphicsOptionCache graphicsOptions_;
};

}  // namespace pdfengine
