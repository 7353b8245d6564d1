#include "foundation/TORException.h"

#include <cstdio>
#include <vector>

TORException::TORException(int32_t code, const char* message, int32_t subCode)
    : message(message), code(code), subCode(subCode)
{
}

TORException::TORException(int32_t code, int32_t bufferLength, const char* format, ...) : code(code)
{
    va_list arguments;
    va_start(arguments, format);
    formatMessage(bufferLength, format, arguments);
    va_end(arguments);
}

TORException::TORException(const TORException& other)
    : TORObject(other), message(other.getMessage()), code(other.getCode()), subCode(other.getSubCode())
{
}

TORException& TORException::operator=(const TORException& other)
{
    if (this != &other) {
        message.set(other.getMessage());
        code = other.getCode();
        subCode = other.getSubCode();
    }
    return *this;
}

void TORException::formatMessage(int32_t bufferLength, const char* format, va_list arguments)
{
    subCode = 0;
    if (!format)
        return;
    // The message buffer holds 2 * n + 2 bytes; a longer message is cut to fit it.
    size_t size = bufferLength > 0 ? 2 * static_cast<size_t>(bufferLength) + 2 : 2;
    std::vector<char> buffer(size);
    std::vsnprintf(buffer.data(), size, format, arguments);
    message.set(buffer.data());
}
