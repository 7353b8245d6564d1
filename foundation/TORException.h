// The system's exception: an owned message in the program's code page (CP932) and
// two codes. The code is what handlers report and the entry point's exit status.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "foundation/OwnedText.h"
#include "foundation/TORObject.h"

class TORException : public virtual TORObject {
public:
    // The message is copied when given and stays absent otherwise.
    TORException(int32_t code, const char* message, int32_t subCode);
    // The message is formatted printf-style into at most 2 * bufferLength + 1 bytes
    // (longer results are cut there); subCode is 0.
    TORException(int32_t code, int32_t bufferLength, const char* format, ...);
    TORException(const TORException& other);
    TORException& operator=(const TORException& other);
    ~TORException() override = default;

    virtual const char* getMessage() const { return message.get(); }
    int32_t getCode() const { return code; }
    int32_t getSubCode() const { return subCode; }

protected:
    TORException() = default;
    // Shared by the formatted constructors of this class and its derivations.
    void formatMessage(int32_t bufferLength, const char* format, va_list arguments);

    OwnedText message;
    int32_t code = 0;
    int32_t subCode = 0;
};
