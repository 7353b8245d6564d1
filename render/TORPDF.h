// The renderer of configuration mode: it owns one engine handle and turns a document
// model (document, pages, texts, lines, rectangles, blocks) into engine calls. It only
// borrows the model.
//
// Operations begin with fixed state checks that raise TORPDFException (code -1) with a
// Japanese message; the drawing helpers return false for missing arguments instead.
// Engine failures arrive through rendererErrorHandler and leave as TORPDFException
// with the engine's error type as code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "foundation/TORPDFObject.h"
#include "foundation/TORStringArray.h"
#include "model/TORPDFArea.h"
#include "model/TORPDFBlock.h"
#include "model/TORPDFFile.h"
#include "model/TORPDFFont.h"
#include "model/TORPDFLineType.h"
#include "model/TORPDFPage.h"
#include "model/TORPDFPoint.h"
#include "model/TORPDFText.h"
#include "pdfengine/pdf_api.h"

class TORPDF : public virtual TORPDFObject {
public:
    // Buffers whose sizes are limits of what the renderer hands on.
    static constexpr size_t documentOptionSize = 512;  // option list of beginDocument
    static constexpr size_t fontOutlineSize = 512;     // "face=file" of a font file
    static constexpr size_t wideTextSize = 1024;       // a text converted for a wide encoding
    static constexpr size_t blockOptionSize = 4096;    // option list of a block or form field
    static constexpr size_t blockTextSize = 8192;      // a block's text or a field's value, converted

    TORPDF() = default;
    TORPDF(const TORPDF&) = delete;
    TORPDF& operator=(const TORPDF&) = delete;
    // terminate(): ends what is still open (an open document is written) and deletes
    // the handle. Engine errors while doing so are swallowed.
    ~TORPDF() override;

    // Each stores its argument only when its field is still empty.
    virtual TORPDF* attachArea(const TORPDFArea* area);
    virtual TORPDF* attachText(const TORPDFText* text);
    virtual TORPDF* attachPage(const TORPDFPage* page);
    virtual TORPDF* attachFile(const TORPDFFile* file);

    // Creates the engine handle (once). A trace option that is given and not empty
    // switches on bit 0 of debugFlags and is the engine's logging option; with bit 0
    // set and no option, the trace goes to pdflib_trace.txt. Returns whether a handle
    // exists.
    virtual bool initialize(const char* traceOption);
    // The pCOS number at path of the imported document, truncated toward zero.
    virtual bool getPdiInteger(int32_t& out, const char* path);
    virtual bool getPdiNumber(double& out, const char* path);
    // Renders the whole document: information, output, imported PDF, every page.
    virtual bool renderFile(const TORPDFFile* file);
    // Renders the document as renderFile does, with the pages nextPage hands out in
    // turn until it gives none, in place of the document's own. A page need only
    // last until the next call.
    bool renderFile(const TORPDFFile* file, const std::function<const TORPDFPage*()>& nextPage);
    // Places the page's imported background, then draws its objects in order.
    virtual bool renderPage(const TORPDFPage* page);
    // Fills a text or image block of the imported page, or creates a form field (text
    // field, radio button, check box) at the block's corners; false when a field lacks
    // a corner. An option list or field value too long for its buffer raises.
    virtual bool renderBlock(const TORPDFBlock* block);
    virtual bool renderText(const TORPDFText* text);
    virtual bool renderArea(const TORPDFArea* area);

    // Turns every fatal engine error into a TORPDFException.
    static void rendererErrorHandler(PDF* handle, int errorType, const char* message);

    // Closes the document (writing it) and deletes the handle.
    void terminate();
    // Deletes the handle without ending the open document, so the engine writes no
    // file: what a failed run does. Never raises.
    void abandon();

    // Global engine option name={value}, sent as UTF-8. Does nothing without a handle,
    // a name or a value.
    void setOption(const char* name, const char* value);
    // Document information; Shift-JIS values that are not plain ASCII go as UTF-8.
    void setInfo(const char* key, const char* value);
    // A new buffer (delete[]) holding the UTF-8 byte-order mark and text in UTF-8.
    static char* toUtf8Option(const char* text);

    // Begins the output document; a given but empty name prepares import and queries
    // only (noOutput).
    bool beginDocument(const char* outputName);
    // What renderFile does before the pages: trace, search path, output document,
    // document information, imported PDF.
    void beginFile(const TORPDFFile* document);
    bool setSearchPath();
    bool setDocumentInfo();
    // Ends the page, closes the imported document and ends the output document.
    void closeDocument();

    bool openPdiDocument(const char* name);
    bool openPdiPage(uint16_t pageNumber);
    // Places the imported page with option; without one, at the origin at its own size.
    bool fitPdiPage(double width, double height, const char* option);
    bool processPdi(const char* optionList);
    void closePdiPage();
    void closePdiDocument();
    // Copies the pCOS text at path and 4 zero bytes into buffer (size bytes). False when
    // there is no text, or when it does not fit; lengthOut then still gives its length.
    bool getPdiString(char* buffer, size_t size, const char* path, int32_t& lengthOut);

    bool beginPage(double width, double height);
    void endPage();

    bool applyLineType(const TORPDFLineType* lineType);
    bool drawLine(const TORPDFPoint* from, const TORPDFPoint* to);
    // Fills with the fill colour of the area being drawn when that is not 0.
    bool drawRect(const TORPDFPoint* corner, const TORPDFPoint* opposite);
    bool moveTextTo(const TORPDFPoint* point);
    bool applyFont(const TORPDFFont* font);
    // Shows string with the spacings, font, margin, position and box of the text being
    // drawn.
    bool showText(const char* string, uint16_t align);
    // The bytes a wide encoding ("unicode", "glyphid", "UniJIS-UCS2-H",
    // "UniJIS-UCS2-HW-H") expects for a Shift-JIS string, at most size bytes; other
    // encodings get a copy with its terminator (0 when it does not fit). Returns the
    // number of bytes.
    static int32_t convertText(char* out, size_t size, const char* string, const char* encoding);
    static bool isWideEncoding(const char* encoding);

    PDF* getPdf() const { return initialized ? pdf : nullptr; }
    int32_t getPdiDocumentHandle() const { return pdiDocumentHandle; }
    int32_t getPdiPageHandle() const { return pdiPageHandle; }
    int32_t getFontHandle() const { return fontHandle; }

    // Set from the second command-line argument; bit 0 switches the engine's trace on.
    uint16_t debugFlags = 0;

protected:
    // Raises TORPDFException with code -1, sub-code -1 and message.
    [[noreturn]] static void raiseError(const char* message);
    // Sets the fill or stroke colour (fstype) from 0xRRGGBB.
    void setColor(const char* fstype, uint32_t color);

    // The state checks; each raises its message.
    void checkInitialized() const;         // I
    void checkDocument() const;            // D
    void checkDocumentOrNoOutput() const;  // D*
    void checkPdiDocument() const;         // P
    void checkPdiPage() const;             // Q
    void checkPage() const;                // G

    const TORPDFFile* file = nullptr;
    const TORPDFPage* page = nullptr;
    const TORPDFText* text = nullptr;
    const TORPDFArea* area = nullptr;
    PDF* pdf = nullptr;
    int32_t pdiDocumentHandle = -1;
    int32_t pdiPageHandle = -1;
    int32_t fontHandle = -1;
    bool initialized = false;
    bool noOutput = false;
    bool documentOpen = false;
    bool pdiDocumentOpen = false;
    bool pageOpen = false;
    bool pdiPageOpen = false;

    // "pdiProcess" is applied once per run, by the first page that imports a page.
    static bool pdiProcessPending;
    // The radio groups created so far in this process, made on first need.
    static std::unique_ptr<TORStringArray> radioGroups;

private:
    // The last option setOption sent, as given and as converted: a renderer sets the
    // same font registration for every text in that font.
    std::string lastOption;
    std::unique_ptr<char[]> lastOptionUtf8;
    std::string optionScratch;   // the option being sent
    std::string outlineScratch;  // a font's "face=file"

    bool fillTextBlock(const TORPDFBlock& block);
    bool fillImageBlock(const TORPDFBlock& block);
    bool createTextField(const TORPDFBlock& block);
    // A check box, or a radio button that joins the group its name begins with.
    bool createButton(const TORPDFBlock& block, bool radio);
    // Creates the group of a radio button named "group.button" unless it exists.
    void createRadioGroup(const char* buttonName);
    // Raises when list does not fit the option buffer with its terminator.
    static void checkBlockOptions(const std::string& list, const TORPDFBlock& block);
};
