#include "config/tr_pdfarea.h"

#include "config/ConfigSection.h"
#include "config/tr_pdflinetype.h"
#include "config/tr_pdfpoint.h"

tr_pdfarea::tr_pdfarea(const char* section, const char* path, double pageHeight)
    : TORPDFArea(nullptr, nullptr, nullptr, 0)
{
    points[0] = std::make_unique<tr_pdfpoint>(section, "left", "top", path, pageHeight);
    points[1] = std::make_unique<tr_pdfpoint>(section, "right", "bottom", path, pageHeight);
    lineType = std::make_unique<tr_pdflinetype>(section, path);
    bgcolor = ConfigSection(section, path).hexadecimal("bgcolor", "000000", 128);
}
