// The one exception of the wrapper objects: only a code (an engine error type, or one
// of the wrappers' own codes below). It is not a TORException; a catcher that wants the
// engine's message asks the current handle.
#pragma once

#include <cstdint>

#include "render/TORPDFlibObject.h"

class TORPDFlibException : public virtual TORPDFlibObject {
public:
    explicit TORPDFlibException(int32_t code) : code(code) {}
    TORPDFlibException(const TORPDFlibException& other) = default;

    int32_t code;

    // The wrappers' own codes.
    static constexpr int32_t noHandle = -1;
    static constexpr int32_t noDocumentName = -2;
    static constexpr int32_t noPdiName = -4;
    static constexpr int32_t beginDocumentFailed = 0x1001;
    static constexpr int32_t openPdiFailed = 0x3001;
    static constexpr int32_t pdiNotOpen = 0x3002;
    static constexpr int32_t pageWithoutDocument = 0x4001;
    static constexpr int32_t openPageFailed = 0x4002;
    static constexpr int32_t pageNotOpen = 0x4003;
};
