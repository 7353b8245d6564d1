// A configuration file as the configuration run loads it. Only loading: running it
// would write the PDF and the log the input names, wherever that is.
#include <cstring>
#include <memory>

#include "config/tr_pdffile.h"
#include "foundation/TORException.h"
#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "model/TORPDFArea.h"
#include "model/TORPDFBlock.h"
#include "model/TORPDFPage.h"
#include "model/TORPDFText.h"

namespace fuzztargets {

namespace {

// Values read from the file are cut to their buffers (at most 511 bytes).
void expectBounded(const char* text)
{
    expect(!text || std::strlen(text) < 512, "a configuration value longer than its buffer");
}

void visitFont(const TORPDFFont* font)
{
    if (!font)
        return;
    expectBounded(font->getFace());
    expectBounded(font->getFile());
    expectBounded(font->getEncoding());
    expectBounded(font->getOption());
}

// Reads every text of the model, as the renderer will, and copies the objects as
// the model allows.
void visitObject(const TORObject* object)
{
    if (auto* text = dynamic_cast<const TORPDFText*>(object)) {
        // A text file's content is not cut; it only has to end.
        if (text->getText())
            (void)std::strlen(text->getText());
        visitFont(text->getFont());
        TORPDFText copy(*text);
        expect((copy.getText() == nullptr) == (text->getText() == nullptr) &&
                   (!copy.getText() || std::strcmp(copy.getText(), text->getText()) == 0),
               "a copied text differs");
    } else if (auto* block = dynamic_cast<const TORPDFBlock*>(object)) {
        expectBounded(block->getName());
        expectBounded(block->getDescription());
        expectBounded(block->getState());
        expectBounded(block->getOptions());
        visitFont(block->getFont());
        TORPDFBlock copy(*block);
        expect(copy.getKind() == block->getKind(), "a copied block differs");
    } else if (auto* area = dynamic_cast<const TORPDFArea*>(object)) {
        expect(area->getKind() == 1 || area->getKind() == 2, "an area that is neither line nor rectangle");
    } else {
        broken("a page object of an unknown class");
    }
}

}  // namespace

int configuration(const uint8_t* data, size_t size)
{
    const std::string path = scratchPath("fuzz.conf");
    writeBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));
    tr_pdffile document;
    try {
        document.load(path.c_str());
    } catch (const TORException& error) {
        // Every loading error carries its message.
        expect(error.getMessage() != nullptr, "an error without a message");
        return 0;
    }
    expect(document.getPdfName() != nullptr, "a document without an output name loaded");
    expectBounded(document.getPdfName());
    expectBounded(document.getPdiName());
    expectBounded(document.getCreator());
    expectBounded(document.getAuthor());
    expectBounded(document.getTitle());
    expectBounded(document.getPermissions());
    expect(document.getCount() >= 1 && document.getCount() <= tr_pdffile::maxPages,
           "a page count out of range");
    for (int32_t n = 0; n < document.getCount(); ++n) {
        auto* page = dynamic_cast<const TORPDFPage*>(document.get(n));
        expect(page && page->getPageNo() == n + 1, "pages out of order");
        expectBounded(page->getPdiOption());
        expectBounded(page->getPdiProcess());
        for (int32_t m = 0; m < page->getCount(); ++m)
            visitObject(page->get(m));
    }
    return 0;
}

}  // namespace fuzztargets
