// A page loaded from its section "PAGE_<n>", with the drawing objects of its object
// sections "PUT_<n>_<m>".
#pragma once

#include "model/TORPDFPage.h"

class tr_pdfpage : public TORPDFPage {
public:
    // Raises TORPDFException for an object type it does not know, and passes on the
    // errors of the objects' own loaders; what was built is freed then.
    tr_pdfpage(int32_t pageNo, const char* path);
};
