// The parsed content of one profile file: sections of keys, looked up by name.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/profile.h"

namespace platform::profile_detail {

// Shift-JIS character classes: a lead byte and a trail byte that can follow it make
// one character, so a trail byte is never taken for "[", "\" or "]".
inline bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
inline bool isTrailByte(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}
// The length (1 or 2) of the character at text[i].
inline size_t characterLength(std::string_view text, size_t i)
{
    return isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                   isTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

// The text with its ASCII letters folded to lower case (the bytes of two-byte
// characters are left alone).
std::string foldLetters(std::string_view text);
// A name as it is compared: blanks trimmed, letters folded.
inline std::string comparableName(std::string_view name)
{
    return foldLetters(trimBlanks(name));
}
// Whether two names (blanks trimmed) are the same once their letters are folded.
bool sameNameOfSameSize(std::string_view name, std::string_view other);
inline bool sameName(std::string_view name, std::string_view other)
{
    // Names are compared by the thousand, and most differ in size or first letter.
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (name.size() != other.size())
        return false;
    if (!name.empty() && static_cast<unsigned char>(name[0]) < 0x80 && fold(name[0]) != fold(other[0]))
        return false;
    // Most names are asked for as they are written: the bytes are compared first.
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != other[i])
            return sameNameOfSameSize(name, other);
    }
    return true;
}
// Text of at least two characters that begins and ends with the same quote (" or ')
// without that pair.
std::string_view stripQuotePair(std::string_view text);
// A value as it is handed out: blanks trimmed, then one pair of quotes around it
// removed.
inline std::string_view unquote(std::string_view value)
{
    return stripQuotePair(trimBlanks(value));
}

// A key line: its name as written (blanks trimmed), its value as handed out, and the
// summary of its name.
struct ProfileKey {
    std::string_view name;
    std::string_view value;
    uint32_t summary = 0;
};

// The key lines of a section in file order, read once when a reader opens it.
struct ProfileKeyTable {
    std::vector<ProfileKey> keys;
    // A bit for the summary of each key's name. Readers ask for many keys a section
    // does not have; most of them are told missing by their bit alone.
    uint64_t summaryBits = 0;

    static uint64_t bitOf(uint32_t summary) { return uint64_t{1} << ((summary * 0x9E3779B1u) >> 26); }
    void clear()
    {
        keys.clear();
        summaryBits = 0;
    }
    void add(const ProfileKey& key)
    {
        keys.push_back(key);
        summaryBits |= bitOf(key.summary);
    }

    // The value of the first key of a name; none when it is missing.
    std::optional<std::string_view> find(const KeyName& name) const
    {
        if (!(summaryBits & bitOf(name.summary)))
            return std::nullopt;
        for (const ProfileKey& key : keys) {
            if (key.summary == name.summary && sameName(key.name, name.name))
                return key.value;
        }
        return std::nullopt;
    }
};

// The file is kept as its text and a table of its sections; a key is found by reading
// the lines of its section. Sections are short (a dozen keys), so this is quicker than
// an index of every key, and the parsed file is little larger than its text. A long
// section gets an index of its keys when it is first read.
//
// The headers are read as far as the sections asked for need: a long configuration is
// read section after section by the thread that loads its pages, so the thread that
// asked first for its settings section need not wait for every header of the file.
// Where a section is in the text, and its keys' index when it has one.
struct ProfileSectionSpan {
    std::string_view name;  // as written, blanks trimmed
    // The lines between the header and the next header.
    size_t bodyBegin = 0;
    size_t bodyEnd = 0;
    uint32_t hash = 0;  // of the name with its letters folded
    // For a long section: its keys by folded name, the first of each name.
    mutable std::unique_ptr<std::unordered_map<std::string, std::string_view>> index;
};

class ProfileData {
public:
    using Section = ProfileSectionSpan;

    // Takes Shift-JIS text (or Unicode text with a byte-order mark); its headers are
    // read when sections are asked for.
    explicit ProfileData(std::string bytes);
    ~ProfileData();
    ProfileData(const ProfileData&) = delete;
    ProfileData& operator=(const ProfileData&) = delete;

    // The section of a name (blanks trimmed; letters need not be folded); none when it
    // is missing. Safe to call from several threads.
    const Section* section(std::string_view name) const;
    // Whether section is long enough to have an index of its keys.
    static bool isLong(const Section& section);
    // The value of key (as comparableName makes it) in a long section, through its
    // index; none when it is missing.
    std::optional<std::string_view> find(const Section& section, std::string_view key) const;
    // The key lines of a section that is not long, in file order, into table.
    void keys(const Section& section, ProfileKeyTable& table) const;

    // Every section header's name, as written, in file order.
    std::vector<std::string> sectionNames() const;

private:
    struct HeaderReader;

    // The section of a name among those read so far.
    const Section* known(std::string_view name) const;
    // Reads the next header; false once the text has no more. With parseMutex_ held.
    bool readHeader() const;
    void addSection(std::string_view name, size_t bodyBegin) const;
    // The first empty slot from where hash leads.
    size_t freeSlot(uint32_t hash) const;

    std::string text_;
    // The first section of each name, in file order, and an open-addressed table of
    // them by folded name (slot values are indexes + 1; 0 is an empty slot). A deque:
    // the sections handed out stay where they are while more are read.
    mutable std::deque<Section> sections_;
    mutable std::vector<uint32_t> slots_;
    // Until every header is read, the sections are read and looked up under the
    // mutex; afterwards they no longer change and are looked up without it.
    mutable std::mutex parseMutex_;
    mutable std::unique_ptr<HeaderReader> reader_;
    mutable std::atomic<bool> parsed_{false};
    // Guards the key indexes of long sections, made on first use.
    mutable std::mutex indexMutex_;
    // The index of the section found last: readers mostly go through a file in
    // order, so the one after it is tried before the table.
    mutable std::atomic<size_t> lastFound_{SIZE_MAX};
};

}  // namespace platform::profile_detail
