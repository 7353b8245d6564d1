// What a PDF handle holds: the engine core, the error handler and the last
// error. Internal to the engine (and its tests); callers see only PDF*.
#pragma once

#include <string>

#include "pdfengine/Engine.h"
#include "pdfengine/pdf_api.h"

struct PDF_s {
    pdfengine::Engine engine;
    PDF_errorhandler handler = nullptr;
    void* opaque = nullptr;

    // The last failure, readable until the next one.
    int errnum = 0;
    std::string errmsg;
    std::string apiname;
};
