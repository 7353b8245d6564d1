#include "config/tr_pdflinetype.h"

#include "config/ConfigSection.h"
#include "config/Units.h"

namespace {

// Style numbers are configured in the same units as lengths: 4 means style 1.
uint16_t styleNumber(int32_t configured)
{
    return static_cast<uint16_t>(static_cast<int32_t>(toPoints(configured)));
}

}  // namespace

tr_pdflinetype::tr_pdflinetype(const char* section, const char* path)
    : TORPDFLineType(unitsPerPoint, 0, 0, 0, 0, unitsPerPoint, 0)
{
    ConfigSection keys(section, path);
    width = toPoints(keys.integer("width", 3));
    cap = styleNumber(keys.integer("cap", 0));
    black = toPoints(keys.integer("black", 0));
    white = toPoints(keys.integer("white", 0));
    join = styleNumber(keys.integer("join", 0));
    miter = toPoints(keys.integer("miter", 3));
    color = keys.hexadecimal("color", "000000", 128);
}
