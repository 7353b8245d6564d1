#include "app/ConfigurationRun.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "app/Banner.h"
#include "config/PageLoader.h"
#include "config/tr_pdffile.h"
#include "foundation/TORPDFException.h"
#include "platform/profile.h"
#include "render/TORPDF.h"

namespace {

// The decimal value of the flags text (leading blanks, a sign, digits), kept in 16
// bits; text without leading digits gives 0.
uint16_t parseFlags(const char* flags)
{
    if (!flags)
        return 0;
    return static_cast<uint16_t>(std::strtoll(flags, nullptr, 10));
}

void report(tr_pdffile& document, const TORException& error)
{
    std::fflush(stdout);
    const char* message = error.getMessage();
    std::fprintf(stderr, "\r\nERROR: %s\r\n", message ? message : "");
    std::fflush(stderr);
    document.logError(error);
}

// Pages are loaded on a thread of their own, while the ones before are drawn, when
// the document has a few and the run has no trace: a trace records the engine calls
// as they are made, and would show pages drawn before a later page's error.
std::unique_ptr<PageLoader> startLoader(const tr_pdffile& document, const TORPDF& renderer, const char* path)
{
    constexpr int32_t fewestPages = 4;
    if (document.getPageCount() < fewestPages || (renderer.debugFlags & 1) || document.getTrace() ||
        std::thread::hardware_concurrency() == 1)
        return nullptr;
    try {
        return std::make_unique<PageLoader>(path, document.getPageCount());
    } catch (const std::system_error&) {
        return nullptr;  // no thread to be had: the pages are loaded first
    }
}

}  // namespace

void runConfiguration(const char* path, const char* flags)
{
    // One consistent view of the configuration for the whole load, shared by the
    // page loader's thread; it ends once every page is loaded, letting the file go.
    std::optional<platform::ProfileReadScope> scope;
    scope.emplace();
    tr_pdffile document;
    // A renderer still held after an error is abandoned, not ended: ending its open
    // document would write the pages drawn so far as if the run had succeeded.
    std::unique_ptr<TORPDF> renderer;
    std::unique_ptr<PageLoader> loader;
    bool bannerLogged = false;
    auto logBanner = [&] {
        if (!bannerLogged)
            document.logText(bannerText());
        bannerLogged = true;
    };
    try {
        try {
            renderer = std::make_unique<TORPDF>();
            renderer->debugFlags = parseFlags(flags);
            renderer->initialize(nullptr);
            document.loadSettings(path);
            loader = startLoader(document, *renderer, path);
            if (!loader) {
                document.loadPages(path);
                scope.reset();
                logBanner();
                renderer->renderFile(&document);
            } else {
                renderer->renderFile(&document, [&]() -> const TORPDFPage* {
                    const TORPDFPage* page = loader->next();
                    if (!page) {
                        // The whole configuration has loaded.
                        scope.reset();
                        logBanner();
                    }
                    return page;
                });
            }
            renderer.reset();
        } catch (const TORException&) {
            // Had the whole configuration been loaded first, an error in it would
            // have stopped the run before anything was drawn: it is the one reported.
            if (loader) {
                loader->finish();
                logBanner();
            }
            throw;
        }
    } catch (const TORPDFException& error) {
        report(document, error);
    } catch (const TORException& error) {
        report(document, error);
    }
    loader.reset();
    if (renderer)
        renderer->abandon();
}
