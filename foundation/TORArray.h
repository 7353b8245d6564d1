// Abstract base of growable arrays of plain values (as opposed to TORContainer,
// which holds objects).
#pragma once

#include <cstdint>

#include "foundation/TORObject.h"

class TORArray : public virtual TORObject {
public:
    TORArray(uint32_t capacity, int32_t growStep) : capacity(capacity), growStep(growStep > 0 ? growStep : 0) {}

    // A step below 1 is refused: the array never shrinks.
    virtual bool setGrowStep(int32_t step)
    {
        if (step < 1)
            return false;
        growStep = step;
        return true;
    }
    virtual bool get(const char** out, int32_t index) const = 0;
    virtual bool add(const char* text) = 0;

    uint32_t getCapacity() const { return capacity; }
    int32_t getCount() const { return count; }
    int32_t getGrowStep() const { return growStep; }

protected:
    uint32_t capacity;
    int32_t count = 0;
    int32_t growStep;
};
