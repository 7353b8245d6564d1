// The string copies behind every owned text of the system. Every buffer returned
// belongs to the caller and is released with delete[].
#pragma once

#include <cstddef>

#include "foundation/TORObject.h"

class TORAllocator : public virtual TORObject {
public:
    // A new copy of text (length + 1 bytes); none for none.
    static char* duplicate(const char* text);
    // A new buffer of size bytes filled by boundedCopy; none for none or a size of 0.
    static char* duplicateBounded(const char* text, size_t size);
    // A new buffer of at least capacity bytes holding a copy of text; when the text is
    // longer, capacity is raised to its length + 1 first. None for none.
    static char* duplicateWithCapacity(const char* text, size_t& capacity);
    // A new buffer holding first followed by second; first is released. A second of
    // none returns first unchanged; a first of none returns a copy of second.
    static char* append(char* first, const char* second);
    // A new buffer holding exactly the first n bytes of text and a terminating zero.
    static char* duplicateExact(const char* text, size_t n);

    // Copies source into destination, at most size - 1 bytes and a terminating zero,
    // never splitting a Shift-JIS two-byte character and never reading past the
    // source's terminator. Returns destination; none when either pointer is none.
    static char* boundedCopy(char* destination, const char* source, size_t size);

    // Whether the byte can begin a Shift-JIS two-byte character.
    static bool isLeadByte(unsigned char byte)
    {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }
};
