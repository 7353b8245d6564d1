// The lines a configuration run leaves in its log file: the banner line of a run that
// loaded, and four lines for the error that ended one. Each call opens a log writer
// for the configured path, type (low 16 bits) and size limit, hands it timestamped
// log messages and closes it again.
#pragma once

#include <cstdint>

#include "foundation/TORException.h"

// Writes "Error(code[0xcode]):message", then " confName: ...", " pdfName: ..." and
// " pdiName: ..." ("not specified" for a PDF name that is absent), each with the
// error's code as message code. False, and nothing written, without a log file.
bool logRunError(const char* logFile, uint32_t logType, uint32_t logSize, const TORException& error,
                 const char* confName, const char* pdfName, const char* pdiName);

// Writes text as one line with message code 0. False, and nothing written, without a
// log file.
bool logRunText(const char* logFile, uint32_t logType, uint32_t logSize, const char* text);
