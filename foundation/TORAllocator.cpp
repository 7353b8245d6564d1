#include "foundation/TORAllocator.h"

#include <cstring>

char* TORAllocator::duplicate(const char* text)
{
    if (!text)
        return nullptr;
    return duplicateExact(text, std::strlen(text));
}

char* TORAllocator::duplicateBounded(const char* text, size_t size)
{
    if (!text || size == 0)
        return nullptr;
    char* buffer = new char[size];
    boundedCopy(buffer, text, size);
    return buffer;
}

char* TORAllocator::duplicateWithCapacity(const char* text, size_t& capacity)
{
    if (!text)
        return nullptr;
    size_t needed = std::strlen(text) + 1;
    if (capacity < needed)
        capacity = needed;
    char* buffer = new char[capacity];
    std::memcpy(buffer, text, needed);
    return buffer;
}

char* TORAllocator::append(char* first, const char* second)
{
    if (!second)
        return first;
    if (!first)
        return duplicate(second);
    size_t a = std::strlen(first), b = std::strlen(second);
    char* joined = new char[a + b + 1];
    std::memcpy(joined, first, a);
    std::memcpy(joined + a, second, b + 1);
    delete[] first;
    return joined;
}

char* TORAllocator::duplicateExact(const char* text, size_t n)
{
    if (!text)
        return nullptr;
    char* copy = new char[n + 1];
    std::memcpy(copy, text, n);
    copy[n] = '\0';
    return copy;
}

char* TORAllocator::boundedCopy(char* destination, const char* source, size_t size)
{
    if (!destination || !source)
        return nullptr;
    if (size == 0)
        return destination;
    size_t out = 0;
    const auto* in = reinterpret_cast<const unsigned char*>(source);
    while (*in) {
        if (isLeadByte(*in)) {
            // A lead byte right before the terminator has no partner: drop it.
            if (in[1] == '\0' || out + 2 > size - 1)
                break;
            destination[out++] = static_cast<char>(in[0]);
            destination[out++] = static_cast<char>(in[1]);
            in += 2;
        } else {
            if (out + 1 > size - 1)
                break;
            destination[out++] = static_cast<char>(*in++);
        }
    }
    destination[out] = '\0';
    return destination;
}
