// Imported PDFs: opening documents and pages, placing pages, copying output
// intents, and pCOS queries.
#include <cstdarg>
#include <cstdio>

#include "pdfengine/ApiCall.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace pdfengine::api {

// The pCOS path in the trace: as formatted once the call has formatted it.
struct PathArg {
    const std::string& path;
};

void appendArg(std::string& out, const PathArg& value)
{
    appendArg(out, value.path.c_str());
}

}  // namespace pdfengine::api

namespace {

// Reading an imported PDF writes nothing, so it is harmless in every scope.
constexpr unsigned readScopes = AnyScope;

constexpr ApiSpec openPdiDocument{"PDF_open_pdi_document", readScopes, NonFatal::Recoverable};
constexpr ApiSpec openPdiPage{"PDF_open_pdi_page", readScopes, NonFatal::Recoverable};
// Closing never fails for the state the handle is in.
constexpr ApiSpec closePdiDocument{"PDF_close_pdi_document", AnyScope};
constexpr ApiSpec closePdiPage{"PDF_close_pdi_page", AnyScope};
constexpr ApiSpec fitPdiPage{"PDF_fit_pdi_page", PageScope};
constexpr ApiSpec processPdi{"PDF_process_pdi", DocumentScope | PageScope, NonFatal::Recoverable};
constexpr ApiSpec pcosGetNumber{"PDF_pcos_get_number", readScopes};
constexpr ApiSpec pcosGetString{"PDF_pcos_get_string", readScopes};
constexpr ApiSpec pcosGetStream{"PDF_pcos_get_stream", readScopes};

// Longer paths are refused rather than formatted without bound.
constexpr int maxPcosPathLength = 65535;

// The path, formatted printf-style from the format and the caller's arguments.
std::string formatPath(const char* format, va_list args)
{
    if (!format)
        throw EngineError(err::PcosBadPath, "Bad pCOS path NULL (a path is needed)");
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        throw EngineError(err::PcosBadPath,
                          "Bad pCOS path '" + std::string(format) + "' (it cannot be formatted)");
    if (length > maxPcosPathLength)
        throw EngineError(err::PcosBadPath, "Bad pCOS path '" + std::string(format) + "' (longer than " +
                                                std::to_string(maxPcosPathLength) + " bytes once formatted)");
    std::string path(static_cast<size_t>(length), '\0');
    std::vsnprintf(path.data(), path.size() + 1, format, args);
    return path;
}

// Ends the argument list however the call ends: the error handler may throw.
class ArgumentsEnd {
public:
    explicit ArgumentsEnd(va_list& args) : args_(args) {}
    ~ArgumentsEnd() { va_end(args_); }
    ArgumentsEnd(const ArgumentsEnd&) = delete;
    ArgumentsEnd& operator=(const ArgumentsEnd&) = delete;

private:
    va_list& args_;
};

}  // namespace

extern "C" int PDF_open_pdi_document(PDF* p, const char* filename, int len, const char* optlist)
{
    return call(
        p, openPdiDocument, -1,
        [&](Engine& engine) {
            return engine.imports().openDocument(textArg(filename, len), textArg(optlist), engine.settings(),
                                                 engine.outputFileName());
        },
        Text{filename, len}, len, optlist);
}

extern "C" int PDF_open_pdi_page(PDF* p, int doc, int pagenumber, const char* optlist)
{
    return call(
        p, openPdiPage, -1,
        [&](Engine& engine) { return engine.imports().openPage(doc, pagenumber, textArg(optlist)); }, doc,
        pagenumber, optlist);
}

extern "C" void PDF_close_pdi_document(PDF* p, int doc)
{
    run(
        p, closePdiDocument, [&](Engine& engine) { engine.imports().closeDocument(doc); }, doc);
}

extern "C" void PDF_close_pdi_page(PDF* p, int page)
{
    run(
        p, closePdiPage, [&](Engine& engine) { engine.imports().closePage(page); }, page);
}

extern "C" void PDF_fit_pdi_page(PDF* p, int page, double x, double y, const char* optlist)
{
    run(
        p, fitPdiPage,
        [&](Engine& engine) { engine.imports().fitPage(page, x, y, textArg(optlist), engine.document()); },
        page, x, y, optlist);
}

extern "C" int PDF_process_pdi(PDF* p, int doc, int page, const char* optlist)
{
    return call(
        p, processPdi, -1,
        [&](Engine& engine) {
            return engine.imports().process(doc, page, textArg(optlist), engine.document());
        },
        doc, page, optlist);
}

extern "C" double PDF_pcos_get_number(PDF* p, int doc, const char* pathfmt, ...)
{
    va_list args;
    va_start(args, pathfmt);
    ArgumentsEnd end(args);
    std::string path = pathfmt ? pathfmt : "";
    const double result = call(
        p, pcosGetNumber, -1.0,
        [&](Engine& engine) {
            path = formatPath(pathfmt, args);
            return engine.imports().pcosNumber(doc, path);
        },
        doc, PathArg{path});
    return result;
}

extern "C" const char* PDF_pcos_get_string(PDF* p, int doc, const char* pathfmt, ...)
{
    va_list args;
    va_start(args, pathfmt);
    ArgumentsEnd end(args);
    std::string path = pathfmt ? pathfmt : "";
    const char* result = call(
        p, pcosGetString, static_cast<const char*>(nullptr),
        [&](Engine& engine) {
            path = formatPath(pathfmt, args);
            return engine.imports().pcosString(doc, path).c_str();
        },
        doc, PathArg{path});
    return result;
}

extern "C" const unsigned char* PDF_pcos_get_stream(PDF* p, int doc, int* length, const char* optlist,
                                                    const char* pathfmt, ...)
{
    va_list args;
    va_start(args, pathfmt);
    ArgumentsEnd end(args);
    std::string path = pathfmt ? pathfmt : "";
    const Bytes result = call(
        p, pcosGetStream, Bytes{nullptr, 0},
        [&](Engine& engine) {
            path = formatPath(pathfmt, args);
            const std::string& bytes = engine.imports().pcosStream(doc, path, textArg(optlist));
            return Bytes{bytes.data(), static_cast<long>(bytes.size())};
        },
        doc, optlist, PathArg{path});
    if (length)
        *length = static_cast<int>(result.size);
    return reinterpret_cast<const unsigned char*>(result.data);
}
