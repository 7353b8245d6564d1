// What a PDF handle holds: the error handler and the last error. The document,
// resource and import state hang off it as the engine grows.
#pragma once

#include <string>

#include "pdfengine/pdf_api.h"

struct PDF_s {
    PDF_errorhandler handler = nullptr;
    void* opaque = nullptr;

    // The last failure, readable until the next one.
    int errnum = 0;
    std::string errmsg;
    std::string apiname;
};
