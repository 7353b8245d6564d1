#include "render/TORPDFlibPdiPage.h"

#include "render/TORPDFlib.h"
#include "render/TORPDFlibException.h"
#include "render/TORPDFlibPdi.h"

TORPDFlibPdiPage::TORPDFlibPdiPage(TORPDFlibPdi* pdi, int32_t pageNumber) : pdi(pdi)
{
    open(pageNumber);
}

TORPDFlibPdiPage::~TORPDFlibPdiPage()
{
    try {
        close();
    } catch (const TORPDFlibException&) {
        // A destructor must not throw; the error stays readable on the handle.
    }
}

PDF* TORPDFlibPdiPage::checkHandle()
{
    if (!pdi || pdi->getDocument() == -1)
        throw TORPDFlibException(TORPDFlibException::pageWithoutDocument);
    return TORPDFlibObject::checkHandle();
}

void TORPDFlibPdiPage::open(int32_t pageNumber)
{
    PDF* p = checkHandle();
    page = PDF_open_pdi_page(p, pdi->getDocument(), pageNumber, "");
    if (page == -1)
        throw TORPDFlibException(TORPDFlibException::openPageFailed);
}

void TORPDFlibPdiPage::close()
{
    if (page == -1)
        return;
    int32_t closing = page;
    page = -1;
    if (currentPdflib && currentPdflib->getHandle())
        PDF_close_pdi_page(currentPdflib->getHandle(), closing);
}

int32_t TORPDFlibPdiPage::fillTextblock(const char* blockName, const char* text, const char* optionList)
{
    PDF* p = checkHandle();
    if (page == -1)
        throw TORPDFlibException(TORPDFlibException::pageNotOpen);
    return PDF_fill_textblock(p, page, blockName, text, 0, optionList);
}
