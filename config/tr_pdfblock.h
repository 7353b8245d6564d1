// A block loaded from an object section: "name", "type" (TEXT, IMAGE or PDF, any
// case), "description", "options" and, when "face" is given, a font.
#pragma once

#include "model/TORPDFBlock.h"

class tr_pdfblock : public TORPDFBlock {
public:
    // Raises the font's error when "face" is given and "file" names no existing file.
    tr_pdfblock(const char* section, const char* path);
};
