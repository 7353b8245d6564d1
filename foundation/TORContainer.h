// The system's list: a growable array of TORObject pointers that by default owns its
// elements and deletes them when it is emptied or destroyed. Growth is by a fixed
// step chosen at construction; a step of 0 makes a fixed-size container.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/TORObject.h"

class TORContainer : public virtual TORObject {
public:
    TORContainer(int32_t capacity, int32_t growStep);
    TORContainer(const TORContainer&) = delete;
    TORContainer& operator=(const TORContainer&) = delete;
    ~TORContainer() override;

    virtual bool grow();
    virtual bool setGrowStep(int32_t step);
    virtual TORObject* get(int32_t index) const;
    virtual int32_t indexOf(const TORObject* element) const;
    virtual int32_t insert(TORObject* element, int32_t position);
    virtual int32_t add(TORObject* element);
    virtual TORObject* remove(const TORObject* element);
    virtual TORObject* removeAt(int32_t index);
    virtual uint8_t setOwnsItems(uint8_t owns);
    virtual void removeAll();

    int32_t getCapacity() const { return capacity; }
    int32_t getCount() const { return count; }
    int32_t getGrowStep() const { return growStep; }

protected:
    // Whether one more element can be stored, growing first when the array is full.
    bool makeRoom();
    // Moves the elements from position on up by one and stores element there.
    void placeAt(TORObject* element, int32_t position);

    uint8_t owns = 1;
    std::unique_ptr<TORObject*[]> items;
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t growStep = 0;
};
