// A line type loaded from the keys "width", "cap", "black", "white", "join", "miter"
// and "color" of an object section.
#pragma once

#include "model/TORPDFLineType.h"

class tr_pdflinetype : public TORPDFLineType {
public:
    tr_pdflinetype(const char* section, const char* path);
};
