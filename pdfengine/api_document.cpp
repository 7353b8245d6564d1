// Global options, document information, documents and pages.
#include "pdfengine/ApiCall.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

// Global options write no content, so they are harmless even inside a path.
constexpr ApiSpec setOption{"PDF_set_option", AnyScope};
constexpr ApiSpec setParameter{"PDF_set_parameter", AnyScope};
constexpr ApiSpec setInfo{"PDF_set_info", DocumentScope | PageScope};
constexpr ApiSpec beginDocument{"PDF_begin_document", ObjectScope, NonFatal::RecoverableByPolicy};
// The closing calls check their state themselves: after a fatal error they
// close whatever is open instead of failing.
constexpr ApiSpec endDocument{"PDF_end_document", AnyScope};
constexpr ApiSpec getBuffer{"PDF_get_buffer", ObjectScope};
constexpr ApiSpec beginPage{"PDF_begin_page_ext", DocumentScope};
constexpr ApiSpec endPage{"PDF_end_page_ext", AnyScope};

}  // namespace

extern "C" void PDF_set_option(PDF* p, const char* optlist)
{
    run(
        p, setOption, [&](Engine& engine) { engine.setOptions(textArg(optlist)); }, optlist);
}

extern "C" void PDF_set_parameter(PDF* p, const char* key, const char* value)
{
    run(
        p, setParameter, [&](Engine& engine) { engine.setParameter(textArg(key), textArg(value)); }, key,
        value);
}

extern "C" void PDF_set_info(PDF* p, const char* key, const char* value)
{
    run(
        p, setInfo, [&](Engine& engine) { engine.setInfo(textArg(key), textArg(value)); }, key, value);
}

extern "C" int PDF_begin_document(PDF* p, const char* filename, int len, const char* optlist)
{
    return call(
        p, beginDocument, -1,
        [&](Engine& engine) { return engine.beginDocument(textArg(filename, len), textArg(optlist)); },
        Text{filename, len}, len, optlist);
}

extern "C" void PDF_end_document(PDF* p, const char* optlist)
{
    run(
        p, endDocument, [&](Engine& engine) { engine.endDocument(textArg(optlist)); }, optlist);
}

extern "C" const char* PDF_get_buffer(PDF* p, long* size)
{
    Bytes bytes = call(p, getBuffer, Bytes{"", 0}, [&](Engine& engine) {
        std::string_view buffer = engine.buffer();
        return Bytes{buffer.data(), static_cast<long>(buffer.size())};
    });
    if (size)
        *size = bytes.size;
    return bytes.data;
}

extern "C" void PDF_begin_page_ext(PDF* p, double width, double height, const char* optlist)
{
    run(
        p, beginPage,
        [&](Engine& engine) {
            requireFinite(width, "width");
            requireFinite(height, "height");
            engine.beginPage(width, height, textArg(optlist));
        },
        width, height, optlist);
}

extern "C" void PDF_end_page_ext(PDF* p, const char* optlist)
{
    run(
        p, endPage, [&](Engine& engine) { engine.endPage(textArg(optlist)); }, optlist);
}
