#include "foundation/TORSortableContainer.h"

int32_t TORSortableContainer::add(TORObject* element)
{
    return insertSorted(dynamic_cast<TORSortableObject*>(element));
}

int32_t TORSortableContainer::insertSorted(TORSortableObject* element)
{
    if (!element || !makeRoom())
        return -1;
    int32_t position = count;
    for (int32_t i = 0; i < count; ++i) {
        auto* existing = dynamic_cast<const TORSortableObject*>(items[i]);
        if (existing && existing->compare(element) <= 0) {
            position = i;
            break;
        }
    }
    placeAt(element, position);
    return position;
}
