// The handle's global options (PDF_set_option), kept for the whole life of
// the handle across documents.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "pdfengine/TextEncoding.h"

namespace pdfengine {

struct Settings {
    HypertextEncoding hypertextEncoding = HypertextEncoding::Winansi;
    // Folders searched, in order, for relative names of inputs (after the
    // current folder); each SearchPath option appends to it.
    std::vector<std::string> searchPath;
    // Font files registered by name with FontOutline; a later registration of
    // a name replaces the earlier one.
    std::map<std::string, std::string, std::less<>> fontOutlines;
    // errorpolicy=return: failures of PDF_begin_document to create its file
    // return -1 instead of calling the error handler.
    bool errorPolicyReturn = false;
    // Fixed /ID and dates, for tests (also QUILLON_PDF_DETERMINISTIC=1).
    bool deterministic = false;
};

}  // namespace pdfengine
