// Creating and deleting handles, reading the last error, and the engine's
// strings.
#include <new>

#include "pdfengine/ApiCall.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

void ignoreErrors(PDF*, int, const char*) {}

constexpr ApiSpec getString{"PDF_get_string", AnyScope};
constexpr ApiSpec getErrnum{"PDF_get_errnum", AnyScope};
constexpr ApiSpec getErrmsg{"PDF_get_errmsg", AnyScope};
constexpr ApiSpec getApiname{"PDF_get_apiname", AnyScope};

}  // namespace

extern "C" PDF* PDF_new(void)
{
    return PDF_new2(nullptr, nullptr, nullptr, nullptr, nullptr);
}

// The engine allocates with the C++ allocator; the allocation callbacks are
// accepted for compatibility and not called.
extern "C" PDF* PDF_new2(PDF_errorhandler errorhandler, void* (*)(PDF*, size_t, const char*),
                         void* (*)(PDF*, void*, size_t, const char*), void (*)(PDF*, void*), void* opaque)
{
    try {
        PDF* p = new PDF_s;
        p->handler = errorhandler ? errorhandler : ignoreErrors;
        p->opaque = opaque;
        return p;
    } catch (...) {
        return nullptr;
    }
}

// Never fails: an open document is dropped without writing a file.
extern "C" void PDF_delete(PDF* p)
{
    if (!p)
        return;
    if (p->engine.trace().enabled())
        p->engine.trace().writeLine("PDF_delete()");
    delete p;
}

extern "C" const char* PDF_get_string(PDF* p, int idx, const char* optlist)
{
    return call(
        p, getString, "", [&](Engine& engine) { return engine.getString(idx, textArg(optlist)); }, idx,
        optlist);
}

extern "C" int PDF_get_errnum(PDF* p)
{
    return call(p, getErrnum, 0, [&](Engine&) { return p->errnum; });
}

extern "C" const char* PDF_get_errmsg(PDF* p)
{
    return call(p, getErrmsg, "", [&](Engine&) { return p->errmsg.c_str(); });
}

extern "C" const char* PDF_get_apiname(PDF* p)
{
    return call(p, getApiname, "", [&](Engine&) { return p->apiname.c_str(); });
}
