#include "foundation/TORContainer.h"

#include <algorithm>

TORContainer::TORContainer(int32_t capacity, int32_t growStep)
{
    if (capacity > 0) {
        items = std::make_unique<TORObject*[]>(static_cast<size_t>(capacity));
        this->capacity = capacity;
        // Called through the table, as the container's own operations are.
        setGrowStep(growStep);
    }
}

TORContainer::~TORContainer()
{
    // Not through the table: a derived part is already gone here.
    TORContainer::removeAll();
}

bool TORContainer::grow()
{
    if (growStep <= 0)
        return false;
    int64_t wanted = static_cast<int64_t>(capacity) + growStep;
    if (wanted > INT32_MAX)
        return false;
    auto larger = std::make_unique<TORObject*[]>(static_cast<size_t>(wanted));
    std::copy(items.get(), items.get() + count, larger.get());
    items = std::move(larger);
    capacity = static_cast<int32_t>(wanted);
    return true;
}

bool TORContainer::setGrowStep(int32_t step)
{
    if (step < 1)
        return false;
    growStep = step;
    return true;
}

TORObject* TORContainer::get(int32_t index) const
{
    if (!items || index < 0 || index >= count)
        return nullptr;
    return items[index];
}

int32_t TORContainer::indexOf(const TORObject* element) const
{
    if (!items || count == 0 || !element)
        return -1;
    for (int32_t i = 0; i < count; ++i) {
        if (items[i] == element)
            return i;
    }
    return -1;
}

bool TORContainer::makeRoom()
{
    if (!items || capacity <= 0)
        return false;
    return count < capacity || grow();
}

void TORContainer::placeAt(TORObject* element, int32_t position)
{
    std::move_backward(items.get() + position, items.get() + count, items.get() + count + 1);
    items[position] = element;
    ++count;
}

int32_t TORContainer::insert(TORObject* element, int32_t position)
{
    if (!element || position < 0 || !makeRoom())
        return -1;
    position = std::min(position, count);
    placeAt(element, position);
    return position;
}

int32_t TORContainer::add(TORObject* element)
{
    if (!element || !makeRoom())
        return -1;
    items[count] = element;
    return count++;
}

TORObject* TORContainer::remove(const TORObject* element)
{
    int32_t index = indexOf(element);
    if (index < 0)
        return nullptr;
    return removeAt(index);
}

TORObject* TORContainer::removeAt(int32_t index)
{
    if (!items || index < 0 || index >= count)
        return nullptr;
    TORObject* element = items[index];
    std::move(items.get() + index + 1, items.get() + count, items.get() + index);
    items[--count] = nullptr;
    return element;
}

uint8_t TORContainer::setOwnsItems(uint8_t flag)
{
    uint8_t previous = owns;
    owns = flag;
    return previous;
}

void TORContainer::removeAll()
{
    if (!items)
        return;
    if (owns == 1) {
        for (int32_t i = 0; i < count; ++i) {
            delete items[i];
            items[i] = nullptr;
        }
    }
    count = 0;
}
