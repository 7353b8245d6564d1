// The exception raised by the configuration loaders and the renderer.
#pragma once

#include "foundation/TORException.h"
#include "foundation/TORPDFObject.h"

class TORPDFException : public TORException, public virtual TORPDFObject {
public:
    TORPDFException(int32_t code, const char* message, int32_t subCode);
    TORPDFException(int32_t code, int32_t bufferLength, const char* format, ...);
    TORPDFException(const TORPDFException& other) = default;
    TORPDFException& operator=(const TORPDFException& other) = default;
    ~TORPDFException() override = default;
};
