// A text loaded from an object section: alignment words, spacings, position ("x",
// "y"), font, and the text itself from "text" or from the file named by "textfile".
#pragma once

#include "model/TORPDFText.h"

class tr_pdftext : public TORPDFText {
public:
    // Raises the font's error when its "file" names no existing file.
    tr_pdftext(const char* section, const char* path, double pageHeight);
};
