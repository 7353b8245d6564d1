#include "render/TORPDFlib.h"

#include "render/TORPDFlibException.h"

TORPDFlib* currentPdflib = nullptr;

PDF* TORPDFlibObject::checkHandle()
{
    if (!currentPdflib || !currentPdflib->getHandle())
        throw TORPDFlibException(TORPDFlibException::noHandle);
    return currentPdflib->getHandle();
}

TORPDFlib::TORPDFlib()
{
    create();
    currentPdflib = this;
}

TORPDFlib::~TORPDFlib()
{
    if (handle) {
        PDF_delete(handle);
        handle = nullptr;
    }
    if (currentPdflib == this)
        currentPdflib = nullptr;
}

void TORPDFlib::create()
{
    handle = PDF_new2(pdflibErrorHandler, nullptr, nullptr, nullptr, nullptr);
}

void TORPDFlib::setParameter(const char* key, const char* value)
{
    PDF_set_parameter(handle, key, value);
}

void TORPDFlib::pdflibErrorHandler(PDF*, int errorType, const char*)
{
    throw TORPDFlibException(errorType);
}
