// A point loaded from two integer keys of an object section: x from the left page
// edge, y from the top edge, both in tenths of a millimetre.
#pragma once

#include "model/TORPDFPoint.h"

class tr_pdfpoint : public TORPDFPoint {
public:
    tr_pdfpoint(const char* section, const char* keyX, const char* keyY, const char* path, double pageHeight);
};
