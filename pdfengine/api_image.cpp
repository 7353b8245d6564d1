// Loading and closing images.
#include "pdfengine/ApiCall.h"
#include "pdfengine/OptionTables.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

constexpr unsigned loadScopes = ObjectScope | DocumentScope | PageScope;

constexpr ApiSpec loadImage{"PDF_load_image", loadScopes, NonFatal::Recoverable};
// Closing writes nothing, so it is harmless in every scope.
constexpr ApiSpec closeImage{"PDF_close_image", AnyScope};

}  // namespace

extern "C" int PDF_load_image(PDF* p, const char* imagetype, const char* filename, int len,
                              const char* optlist)
{
    return call(
        p, loadImage, -1,
        [&](Engine& engine) {
            OptionList::parse(textArg(optlist), options::none);
            return engine.images().load(textArg(imagetype), textArg(filename, len),
                                        engine.settings().searchPath);
        },
        imagetype, Text{filename, len}, len, optlist);
}

extern "C" void PDF_close_image(PDF* p, int image)
{
    run(
        p, closeImage, [&](Engine& engine) { engine.images().close(image); }, image);
}
