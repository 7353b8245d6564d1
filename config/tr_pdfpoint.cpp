#include "config/tr_pdfpoint.h"

#include "config/ConfigSection.h"
#include "config/Units.h"

tr_pdfpoint::tr_pdfpoint(const char* section, const char* keyX, const char* keyY, const char* path,
                         double pageHeight)
    : TORPDFPoint(0, 0)
{
    ConfigSection keys(section, path);
    x = toPoints(keys.integer(keyX, 0));
    // The configuration measures downwards from the top edge, PDF upwards from the bottom.
    y = pageHeight - toPoints(keys.integer(keyY, 0));
}
