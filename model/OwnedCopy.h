// Drawing objects keep their own copies of the points, line types and fonts they are
// given; none stays none.
#pragma once

#include <memory>

template <class T>
std::unique_ptr<T> ownedCopy(const T* source)
{
    return source ? std::make_unique<T>(*source) : nullptr;
}
