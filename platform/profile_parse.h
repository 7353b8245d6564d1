// The parsed content of one profile file: sections of keys, looked up by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// Blanks (spaces and tabs) removed at both ends.
std::string_view trimBlanks(std::string_view text);
// The text with its ASCII letters folded to lower case (the bytes of two-byte
// characters are left alone).
std::string foldLetters(std::string_view text);
// A name as it is compared: blanks trimmed, letters folded.
inline std::string comparableName(std::string_view name)
{
    return foldLetters(trimBlanks(name));
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

class ProfileData {
public:
    // Parses Shift-JIS text (or Unicode text with a byte-order mark).
    explicit ProfileData(std::string bytes);
    ProfileData(const ProfileData&) = delete;
    ProfileData& operator=(const ProfileData&) = delete;

    // The value of key in section (names as comparableName makes them); none when the
    // section or the key is missing.
    const std::string_view* find(std::string_view section, std::string_view key) const;

    // Every section header's name, as written, in file order.
    const std::vector<std::string_view>& sectionNames() const { return sectionNames_; }

private:
    struct Entry {
        size_t hash;
        std::string_view name;
        std::string_view value;
    };
    // A section's keys are entries_[begin, end) in file order; a large section also has
    // an index from name to the first entry of that name.
    struct Section {
        size_t begin = 0;
        size_t end = 0;
        std::unordered_map<std::string_view, size_t> index;
    };
    void parse();

    // Names and values point into these two: the text, and the text with its names'
    // letters folded.
    std::string text_;
    std::string folded_;
    std::vector<Entry> entries_;
    std::unordered_map<std::string_view, Section> sections_;
    std::vector<std::string_view> sectionNames_;
};

}  // namespace platform::profile_detail
