// A font loaded from the keys "face", "file", "encoding", "size", "option" and
// "color" of a text or block section. A "file" must exist.
#pragma once

#include "model/TORPDFFont.h"

class tr_pdffont : public TORPDFFont {
public:
    // Raises TORPDFException when "file" names no existing file.
    tr_pdffont(const char* section, const char* path);
};
