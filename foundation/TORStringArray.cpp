#include "foundation/TORStringArray.h"

#include <strings.h>
#include <cstring>
#include <string>

TORStringArray::TORStringArray(uint32_t capacity, int32_t growStep) : TORArray(capacity, growStep)
{
    if (capacity != 0)
        items = std::make_unique<OwnedText[]>(capacity);
}

bool TORStringArray::get(const char** out, int32_t index) const
{
    if (!out || index < 0 || index >= count)
        return false;
    *out = items[index].get();
    return true;
}

bool TORStringArray::add(const char* text)
{
    if (!text)
        return false;
    if (static_cast<uint32_t>(count) >= capacity && !grow())
        return false;
    items[count++].set(text);
    return true;
}

bool TORStringArray::grow()
{
    if (growStep <= 0 || capacity > UINT32_MAX - static_cast<uint32_t>(growStep) ||
        capacity + static_cast<uint32_t>(growStep) > INT32_MAX)
        return false;
    uint32_t larger = capacity + static_cast<uint32_t>(growStep);
    auto moved = std::make_unique<OwnedText[]>(larger);
    for (int32_t i = 0; i < count; ++i)
        moved[i] = std::move(items[i]);
    items = std::move(moved);
    capacity = larger;
    return true;
}

bool TORStringArray::find(int32_t* outIndex, const char* name, bool ignoreCase) const
{
    if (!outIndex || !name)
        return false;
    bool pattern = std::strpbrk(name, "*?") != nullptr;
    for (int32_t i = 0; i < count; ++i) {
        const char* text = items[i].get();
        if (!text)
            continue;
        bool match = pattern ? wildcardCompare(text, name, ignoreCase) == 0
                             : std::strcmp(text, name) == 0 || (ignoreCase && strcasecmp(text, name) == 0);
        if (match) {
            *outIndex = i;
            return true;
        }
    }
    return false;
}

namespace {

int compareBytes(const char* a, const char* b, size_t n, bool ignoreCase)
{
    return ignoreCase ? strncasecmp(a, b, n) : std::strncmp(a, b, n);
}

int compareAll(const char* a, const char* b, bool ignoreCase)
{
    return ignoreCase ? strcasecmp(a, b) : std::strcmp(a, b);
}

// The next wildcard of a pattern: its first "*", or, when it has none, its first "?".
const char* nextWildcard(const char* pattern)
{
    const char* star = std::strchr(pattern, '*');
    return star ? star : std::strchr(pattern, '?');
}

}  // namespace

const char* findSubstring(const char* text, const char* needle, bool ignoreCase)
{
    if (!text || !needle || !*text || !*needle)
        return text;
    size_t length = std::strlen(needle);
    // Most places differ in their first byte: that is looked at before the rest.
    auto fold = [ignoreCase](char c) {
        return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const char first = fold(*needle);
    for (const char* at = text; *at;) {
        if (fold(*at) == first && compareBytes(at, needle, length, ignoreCase) == 0)
            return at;
        bool pair = TORAllocator::isLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0';
        at += pair ? 2 : 1;
    }
    return nullptr;
}

int wildcardCompare(const char* text, const char* pattern, bool ignoreCase)
{
    if (!text || !pattern || !*pattern)
        return 0;
    while (*text && *pattern) {
        const char* wildcard = nextWildcard(pattern);
        if (!wildcard)
            return compareAll(text, pattern, ignoreCase);
        size_t plain = static_cast<size_t>(wildcard - pattern);
        if (plain > 0) {
            if (int difference = compareBytes(text, pattern, plain, ignoreCase))
                return difference;
            text += plain;
            pattern = wildcard;
            if (!*text || !*pattern)
                break;
            continue;
        }
        if (*pattern == '?') {
            ++text;
            ++pattern;
            if (!*text || !*pattern)
                break;
            continue;
        }
        // At a "*".
        const char* rest = pattern + 1;
        if (!*rest)
            return 0;
        if (*rest == '*' || *rest == '?') {
            pattern = rest;
            continue;
        }
        const char* following = nextWildcard(rest);
        if (!following) {
            size_t suffix = std::strlen(rest), remaining = std::strlen(text);
            if (remaining < suffix)
                return 1;
            return compareAll(text + remaining - suffix, rest, ignoreCase);
        }
        std::string literal(rest, following);
        const char* found = findSubstring(text, literal.c_str(), ignoreCase);
        if (!found)
            return 1;
        text = found;
        pattern = rest;
    }
    if (!*text && (!*pattern || std::strcmp(pattern, "*") == 0))
        return 0;
    return static_cast<unsigned char>(*text) - static_cast<unsigned char>(*pattern);
}
