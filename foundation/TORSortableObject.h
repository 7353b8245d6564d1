// Base of objects that a TORSortableContainer keeps in order.
#pragma once

#include <cstdint>

#include "foundation/TORObject.h"

class TORSortableObject : public virtual TORObject {
public:
    // A sortable container puts a new element before the first element e for which
    // e.compare(new element) is 0 or less.
    virtual int32_t compare(const TORObject* other) const = 0;
};
