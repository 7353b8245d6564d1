// The graphics state and paths of the current page.
#include "pdfengine/ApiCall.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

constexpr unsigned pageOrPath = PageScope | PathScope;

constexpr ApiSpec setLineWidth{"PDF_setlinewidth", PageScope};
constexpr ApiSpec setGraphicsOption{"PDF_set_graphics_option", PageScope};
constexpr ApiSpec setColor{"PDF_setcolor", PageScope};
constexpr ApiSpec moveTo{"PDF_moveto", pageOrPath};
constexpr ApiSpec lineTo{"PDF_lineto", PathScope};
constexpr ApiSpec rect{"PDF_rect", pageOrPath};
constexpr ApiSpec closePath{"PDF_closepath", PathScope};
constexpr ApiSpec stroke{"PDF_stroke", PathScope};
constexpr ApiSpec fill{"PDF_fill", PathScope};
constexpr ApiSpec fillStroke{"PDF_fill_stroke", PathScope};
constexpr ApiSpec save{"PDF_save", PageScope};
constexpr ApiSpec restore{"PDF_restore", PageScope};

}  // namespace

extern "C" void PDF_setlinewidth(PDF* p, double width)
{
    run(
        p, setLineWidth, [&](Engine& engine) { engine.page().setLineWidth(width); }, width);
}

extern "C" void PDF_set_graphics_option(PDF* p, const char* optlist)
{
    run(
        p, setGraphicsOption, [&](Engine& engine) { engine.setGraphicsOptions(textArg(optlist)); }, optlist);
}

extern "C" void PDF_setcolor(PDF* p, const char* fstype, const char* colorspace, double c1, double c2,
                             double c3, double c4)
{
    run(
        p, setColor,
        [&](Engine& engine) { engine.setColor(textArg(fstype), textArg(colorspace), c1, c2, c3, c4); },
        fstype, colorspace, c1, c2, c3, c4);
}

extern "C" void PDF_moveto(PDF* p, double x, double y)
{
    run(
        p, moveTo, [&](Engine& engine) { engine.page().moveTo(x, y); }, x, y);
}

extern "C" void PDF_lineto(PDF* p, double x, double y)
{
    run(
        p, lineTo, [&](Engine& engine) { engine.page().lineTo(x, y); }, x, y);
}

extern "C" void PDF_rect(PDF* p, double x, double y, double width, double height)
{
    run(
        p, rect, [&](Engine& engine) { engine.page().rect(x, y, width, height); }, x, y, width, height);
}

extern "C" void PDF_closepath(PDF* p)
{
    run(p, closePath, [&](Engine& engine) { engine.page().closePath(); });
}

extern "C" void PDF_stroke(PDF* p)
{
    run(p, stroke, [&](Engine& engine) { engine.page().stroke(); });
}

extern "C" void PDF_fill(PDF* p)
{
    run(p, fill, [&](Engine& engine) { engine.page().fill(); });
}

extern "C" void PDF_fill_stroke(PDF* p)
{
    run(p, fillStroke, [&](Engine& engine) { engine.page().fillStroke(); });
}

extern "C" void PDF_save(PDF* p)
{
    run(p, save, [&](Engine& engine) { engine.page().save(); });
}

extern "C" void PDF_restore(PDF* p)
{
    run(p, restore, [&](Engine& engine) { engine.page().restore(); });
}
