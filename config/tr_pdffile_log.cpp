#include "config/tr_pdffile.h"
#include "logging/run_log.h"

bool tr_pdffile::logError(const TORException& error)
{
    return logRunError(logFile, logType, logSize, error, confName, getPdfName(), getPdiName());
}

bool tr_pdffile::logText(const char* text)
{
    return logRunText(logFile, logType, logSize, text);
}
