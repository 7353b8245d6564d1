#include "foundation/TORPDFException.h"

TORPDFException::TORPDFException(int32_t code, const char* message, int32_t subCode)
    : TORException(code, message, subCode)
{
}

TORPDFException::TORPDFException(int32_t code, int32_t bufferLength, const char* format, ...)
{
    this->code = code;
    va_list arguments;
    va_start(arguments, format);
    formatMessage(bufferLength, format, arguments);
    va_end(arguments);
}
