// A line or rectangle loaded from an object section: point 0 from "left" and "top",
// point 1 from "right" and "bottom", the line type, and the fill colour "bgcolor".
// The page loader sets the kind.
#pragma once

#include "model/TORPDFArea.h"

class tr_pdfarea : public TORPDFArea {
public:
    tr_pdfarea(const char* section, const char* path, double pageHeight);
};
