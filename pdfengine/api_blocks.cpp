// Filling the blocks of imported pages.
#include "pdfengine/ApiCall.h"
#include "pdfengine/BlockFiller.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

constexpr ApiSpec fillTextblock{"PDF_fill_textblock", PageScope, NonFatal::Recoverable};
constexpr ApiSpec fillImageblock{"PDF_fill_imageblock", PageScope, NonFatal::Recoverable};

}  // namespace

extern "C" int PDF_fill_textblock(PDF* p, int page, const char* blockname, const char* text, int len,
                                  const char* optlist)
{
    return call(
        p, fillTextblock, -1,
        [&](Engine& engine) {
            return engine.blockFiller().fillText(page, textArg(blockname), text, len, textArg(optlist));
        },
        page, blockname, Text{text, len}, len, optlist);
}

extern "C" int PDF_fill_imageblock(PDF* p, int page, const char* blockname, int image, const char* optlist)
{
    return call(
        p, fillImageblock, -1,
        [&](Engine& engine) {
            return engine.blockFiller().fillImage(page, textArg(blockname), image, textArg(optlist));
        },
        page, blockname, image, optlist);
}
