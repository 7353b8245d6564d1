#include "render/TORPDFlibDoc.h"

#include "render/TORPDFlib.h"
#include "render/TORPDFlibException.h"

TORPDFlibDoc::TORPDFlibDoc(const char* fileName, const char* optionList) : fileName(fileName)
{
    begin(optionList);
}

TORPDFlibDoc::~TORPDFlibDoc()
{
    try {
        end();
    } catch (const TORPDFlibException&) {
        // A destructor must not throw; the error stays readable on the handle.
    }
}

PDF* TORPDFlibDoc::checkHandle()
{
    if (!fileName)
        throw TORPDFlibException(TORPDFlibException::noDocumentName);
    return TORPDFlibObject::checkHandle();
}

void TORPDFlibDoc::prepare() {}

void TORPDFlibDoc::setupParameters()
{
    PDF_set_parameter(checkHandle(), "hypertextencoding", "winansi");
}

void TORPDFlibDoc::setupInfo()
{
    PDF* p = checkHandle();
    PDF_set_info(p, "Creator", "PDFlib Sample Program");
    PDF_set_info(p, "Author", "Hanako Yamada");
    PDF_set_info(p, "Title", "PDFlib Sample Program");
}

void TORPDFlibDoc::begin(const char* optionList)
{
    PDF* p = checkHandle();
    prepare();
    if (PDF_begin_document(p, fileName, 0, optionList ? optionList : "") == -1)
        throw TORPDFlibException(TORPDFlibException::beginDocumentFailed);
    open = true;
    setupParameters();
    setupInfo();
}

void TORPDFlibDoc::end()
{
    if (!open)
        return;
    open = false;
    // The handle object must outlive its documents; should it not, there is nothing to end.
    if (currentPdflib && currentPdflib->getHandle())
        PDF_end_document(currentPdflib->getHandle(), "");
}
