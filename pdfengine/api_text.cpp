// Fonts and text.
#include "pdfengine/ApiCall.h"
#include "pdfengine/Typesetter.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

constexpr unsigned anyButPath = ObjectScope | DocumentScope | PageScope;

constexpr ApiSpec loadFont{"PDF_load_font", anyButPath, NonFatal::Recoverable};
constexpr ApiSpec setFont{"PDF_setfont", PageScope};
constexpr ApiSpec setTextOption{"PDF_set_text_option", PageScope};
constexpr ApiSpec setTextPos{"PDF_set_text_pos", PageScope};
constexpr ApiSpec show{"PDF_show", PageScope};
constexpr ApiSpec show2{"PDF_show2", PageScope};
constexpr ApiSpec stringWidth{"PDF_stringwidth", AnyScope};
constexpr ApiSpec fitTextline{"PDF_fit_textline", PageScope};

}  // namespace

extern "C" int PDF_load_font(PDF* p, const char* fontname, int len, const char* encoding, const char* optlist)
{
    return call(
        p, loadFont, -1,
        [&](Engine& engine) {
            return Typesetter(engine).loadFont(textArg(fontname, len), textArg(encoding), textArg(optlist));
        },
        Text{fontname, len}, len, encoding, optlist);
}

extern "C" void PDF_setfont(PDF* p, int font, double fontsize)
{
    run(
        p, setFont, [&](Engine& engine) { Typesetter(engine).setFont(font, fontsize); }, font, fontsize);
}

extern "C" void PDF_set_text_option(PDF* p, const char* optlist)
{
    run(
        p, setTextOption, [&](Engine& engine) { Typesetter(engine).setTextOptions(textArg(optlist)); },
        optlist);
}

extern "C" void PDF_set_text_pos(PDF* p, double x, double y)
{
    run(
        p, setTextPos, [&](Engine& engine) { Typesetter(engine).setTextPosition(x, y); }, x, y);
}

extern "C" void PDF_show(PDF* p, const char* text)
{
    run(
        p, show, [&](Engine& engine) { Typesetter(engine).show(textArg(text)); }, text);
}

extern "C" void PDF_show2(PDF* p, const char* text, int len)
{
    run(
        p, show2, [&](Engine& engine) { Typesetter(engine).show(textArg(text, len)); }, Text{text, len}, len);
}

extern "C" double PDF_stringwidth(PDF* p, const char* text, int font, double fontsize)
{
    return call(
        p, stringWidth, 0.0,
        [&](Engine& engine) { return Typesetter(engine).stringWidth(textArg(text), font, fontsize); }, text,
        font, fontsize);
}

extern "C" void PDF_fit_textline(PDF* p, const char* text, int len, double x, double y, const char* optlist)
{
    run(
        p, fitTextline,
        [&](Engine& engine) { Typesetter(engine).fitTextLine(text, len, x, y, textArg(optlist)); },
        Text{text, len}, len, x, y, optlist);
}
