#include "app/ConfigurationRun.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Banner.h"
#include "config/tr_pdffile.h"
#include "foundation/TORPDFException.h"
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

}  // namespace

void runConfiguration(const char* path, const char* flags)
{
    tr_pdffile document;
    // A renderer still held after an error is abandoned, not ended: ending its open
    // document would write the pages drawn so far as if the run had succeeded.
    std::unique_ptr<TORPDF> renderer;
    try {
        renderer = std::make_unique<TORPDF>();
        renderer->debugFlags = parseFlags(flags);
        renderer->initialize(nullptr);
        document.load(path);
        document.logText(bannerText());
        renderer->renderFile(&document);
        renderer.reset();
    } catch (const TORPDFException& error) {
        report(document, error);
    } catch (const TORException& error) {
        report(document, error);
    }
    if (renderer)
        renderer->abandon();
}
