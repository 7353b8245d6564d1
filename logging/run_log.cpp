#include "logging/run_log.h"

#include <cstdarg>

#include "logging/TORLogMessage.h"
#include "logging/TORLogging.h"

namespace {

bool hasLogFile(const char* logFile)
{
    return logFile && *logFile;
}

void configure(TORLogging& writer, uint32_t logType, uint32_t logSize)
{
    writer.type = static_cast<uint16_t>(logType & 0xFFFF);
    writer.sizeLimit = logSize;
}

const char* orEmpty(const char* text)
{
    return text ? text : "";
}

const char* orNotSpecified(const char* name)
{
    return name && *name ? name : "not specified";
}

// Hands the writer one timestamped line; the writer takes the message over.
__attribute__((format(printf, 3, 4))) void logLine(TORLogging& writer, int32_t code, const char* format, ...)
{
    auto* message = new TORLogMessage();
    va_list arguments;
    va_start(arguments, format);
    message->vformat(code, format, arguments);
    va_end(arguments);
    writer.log(message);
}

}  // namespace

bool logRunError(const char* logFile, uint32_t logType, uint32_t logSize, const TORException& error,
                 const char* confName, const char* pdfName, const char* pdiName)
{
    if (!hasLogFile(logFile))
        return false;
    TORLogging writer(logFile);
    configure(writer, logType, logSize);
    const int32_t code = error.getCode();
    logLine(writer, code, "Error(%d[0x%x]):%s", code, static_cast<unsigned>(code),
            orEmpty(error.getMessage()));
    logLine(writer, code, " confName: %s", orEmpty(confName));
    logLine(writer, code, " pdfName: %s", orNotSpecified(pdfName));
    logLine(writer, code, " pdiName: %s", orNotSpecified(pdiName));
    return true;
}

bool logRunText(const char* logFile, uint32_t logType, uint32_t logSize, const char* text)
{
    if (!hasLogFile(logFile))
        return false;
    TORLogging writer(logFile);
    configure(writer, logType, logSize);
    logLine(writer, 0, "%s", orEmpty(text));
    return true;
}
