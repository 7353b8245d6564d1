// Interactive form fields.
#include "pdfengine/ApiCall.h"
#include "pdfengine/FormFields.h"

using namespace pdfengine;
using namespace pdfengine::api;

namespace {

// A group has no widget, so it may be made before the page of its buttons.
constexpr ApiSpec createFieldgroup{"PDF_create_fieldgroup", DocumentScope | PageScope};
constexpr ApiSpec createField{"PDF_create_field", PageScope};

}  // namespace

extern "C" void PDF_create_fieldgroup(PDF* p, const char* name, int len, const char* optlist)
{
    run(
        p, createFieldgroup,
        [&](Engine& engine) { engine.fields().createGroup(engine, textArg(name, len), textArg(optlist)); },
        Text{name, len}, len, optlist);
}

extern "C" void PDF_create_field(PDF* p, double llx, double lly, double urx, double ury, const char* name,
                                 int len, const char* type, const char* optlist)
{
    run(
        p, createField,
        [&](Engine& engine) {
            engine.fields().createField(engine, {llx, lly, urx, ury}, textArg(name, len), textArg(type),
                                        textArg(optlist));
        },
        llx, lly, urx, ury, Text{name, len}, len, type, optlist);
}
