// Creating and deleting handles, and reading the last error.
#include <cstring>
#include <new>

#include "pdfengine/Handle.h"
#include "pdfengine/Version.h"

namespace {

void ignoreErrors(PDF*, int, const char*) {}

}  // namespace

extern "C" PDF* PDF_new(void) { return PDF_new2(nullptr, nullptr, nullptr, nullptr, nullptr); }

// The engine allocates with the C++ allocator; the allocation callbacks are accepted
// for compatibility and not called.
extern "C" PDF* PDF_new2(PDF_errorhandler errorhandler, void* (*)(PDF*, size_t, const char*),
                         void* (*)(PDF*, void*, size_t, const char*), void (*)(PDF*, void*), void* opaque)
{
    PDF* p = new (std::nothrow) PDF_s;
    if (!p)
        return nullptr;
    p->handler = errorhandler ? errorhandler : ignoreErrors;
    p->opaque = opaque;
    return p;
}

extern "C" void PDF_delete(PDF* p) { delete p; }

extern "C" const char* PDF_get_string(PDF* p, int, const char* optlist)
{
    if (p && optlist && std::strcmp(optlist, "version") == 0)
        return PDFENGINE_VERSION;
    return "";
}

extern "C" int PDF_get_errnum(PDF* p) { return p ? p->errnum : 0; }

extern "C" const char* PDF_get_errmsg(PDF* p) { return p ? p->errmsg.c_str() : ""; }

extern "C" const char* PDF_get_apiname(PDF* p) { return p ? p->apiname.c_str() : ""; }
