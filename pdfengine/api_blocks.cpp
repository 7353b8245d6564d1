// Filling the blocks of imported pages. Text needs the fonts of the engine,
// which are not wired yet: until they are, PDF_fill_textblock reports every
// call as a block it could not fill (the non-fatal -1 of a failed fill), so
// that its callers can be built and run.
#include "pdfengine/ApiCall.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

constexpr ApiSpec fillTextblock{"PDF_fill_textblock", PageScope, NonFatal::Recoverable};

}  // namespace

extern "C" int PDF_fill_textblock(PDF* p, int page, const char* blockname, const char* text, int len,
                                  const char* optlist)
{
    return call(
        p, fillTextblock, -1,
        [&](Engine&) -> int {
            throw EngineError(err::Internal,
                              "Text block '" + std::string(textArg(blockname)) +
                                  "' cannot be filled: this "
                                  "engine cannot fill text blocks yet",
                              true);
        },
        page, blockname, Text{text, len}, len, optlist);
}
