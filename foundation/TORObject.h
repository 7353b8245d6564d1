// Common root of the system's own classes. Every derivation from it is virtual, so an
// object holds exactly one TORObject part; containers hold and delete their elements
// through it.
#pragma once

#include <cstdint>

class TORObject {
public:
    TORObject() = default;
    TORObject(const TORObject&) = default;
    TORObject& operator=(const TORObject&) = default;

    virtual int32_t getTypeCode() const { return 0x01000500; }
    virtual int32_t getVersionCode() const { return 0x00010000; }
    virtual int32_t getRevisionCode() const { return 0x00050000; }
    virtual ~TORObject() = default;
};
