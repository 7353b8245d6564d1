// A TORContainer that keeps its elements in the order their compare defines, by
// inserting each added element at its place. insert() still places anywhere.
#pragma once

#include "foundation/TORContainer.h"
#include "foundation/TORSortableObject.h"

class TORSortableContainer : public TORContainer {
public:
    TORSortableContainer(int32_t capacity, int32_t growStep) : TORContainer(capacity, growStep) {}

    // Only sortable objects are taken; any other element gives -1.
    int32_t add(TORObject* element) override;
    virtual int32_t insertSorted(TORSortableObject* element);
};
