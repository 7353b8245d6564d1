// Reads the keys of one section of a configuration file, each value cut to the size
// of the buffer it is read into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/profile.h"

// The section is found once; its keys are read from the file as it was then. The
// names given must outlive the reader (it is made and used within one constructor).
class ConfigSection {
public:
    ConfigSection(const char* section, const char* path)
        : section_(section), path_(path ? path : ""), keys_(path_, section_)
    {
    }

    const char* name() const { return section_; }
    const char* path() const { return path_; }

    // The value of key (or the default) as read into a buffer of size bytes: at most
    // size - 1 bytes, never half a two-byte character.
    std::string text(const char* key, const char* defaultValue, size_t size) const
    {
        return std::string(keys_.getView(key, defaultValue, static_cast<uint32_t>(size > 0 ? size : 1)));
    }
    // The value of key as an integer; the default when the key is missing or empty.
    int32_t integer(const char* key, int32_t defaultValue) const { return keys_.getInt(key, defaultValue); }
    // The value of key read as text and converted as an unsigned hexadecimal number.
    uint32_t hexadecimal(const char* key, const char* defaultValue, size_t size) const;

private:
    const char* section_;
    const char* path_;
    platform::ProfileSection keys_;
};

// Text as an unsigned hexadecimal number, as the C library's strtoul with base 16
// reads it with 32-bit longs: leading white space, an optional sign (a minus negates
// modulo 2^32), an optional "0x", then hexadecimal digits up to the first other
// character. No digits give 0; a value past 32 bits gives 0xFFFFFFFF.
uint32_t parseUnsignedHex(const char* text);

// The text for a setter that stores only non-empty values: none when it is empty.
inline const char* nonEmpty(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}
