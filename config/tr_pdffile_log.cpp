#include "config/tr_pdffile.h"

// The run log is written here, through the log writer, once it is in place.
bool tr_pdffile::logError(const TORException&)
{
    return false;
}

bool tr_pdffile::logText(const char*)
{
    return false;
}
