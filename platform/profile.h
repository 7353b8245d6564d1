// Reading INI-style profile files by section and key, as GetPrivateProfileStringA and
// GetPrivateProfileIntA do on a Japanese (code page 932) Windows system. Names and
// values are Shift-JIS bytes; the exact rules are in docs/configuration.md.
//
// A file is read and parsed once and kept, keyed by its path; it is read again when
// its size or modification time changes. A ProfileReadScope lets a caller that makes
// many look-ups in a row (a whole configuration) skip the check after the first one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace profile_detail {
class ProfileData;
struct ProfileSectionSpan;
struct ProfileKeyTable;

// Blanks (spaces and tabs) removed at both ends.
inline std::string_view trimBlanks(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    // Blanks are single bytes below every trail byte, so the end can be trimmed bytewise.
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// A summary of a name that two names share when they are the same once their letters
// are folded: its size and its first and last bytes, folded as letters would be (trail
// bytes too). Names that share it are compared; most names differ in it.
inline uint32_t nameSummary(std::string_view name)
{
    if (name.empty())
        return 0;
    auto folded = [](char c) { return static_cast<uint32_t>(static_cast<unsigned char>(c) | 0x20u); };
    return static_cast<uint32_t>(name.size()) << 16 ^ folded(name.front()) << 8 ^ folded(name.back());
}

// A key's name as a section reader looks it up: blanks trimmed, and its summary. It is
// worked out inline, so that the compiler works it out for a name written in the code.
struct KeyName {
    explicit KeyName(const char* key)
        : present(key != nullptr),
          name(key ? trimBlanks(key) : std::string_view()),
          summary(nameSummary(name))
    {
    }
    bool present;  // none was given
    std::string_view name;
    uint32_t summary;
};
}  // namespace profile_detail

// Copies the value of key in section of the file at path into buffer: at most
// size - 1 bytes and a terminating zero, never splitting a two-byte character.
// A missing file, section or key gives defaultValue instead (none counts as empty);
// a key that is present with an empty value gives an empty text. Returns the number
// of bytes copied, without the terminator.
uint32_t getPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const char* path);

// The value of key as an integer: optional blanks, an optional sign, then "0x"
// (hexadecimal), "0o" (octal), "0b" (binary) or decimal digits up to the first other
// character, modulo 2^32. An empty value or a missing key gives defaultValue.
int32_t getPrivateProfileInt(const char* section, const char* key, int32_t defaultValue, const char* path);

// The section headers of the file at path, in file order: each name as written
// between the brackets, blanks trimmed. A name that appears again is listed again,
// although only its first section's keys are read. Empty when the file cannot be read.
std::vector<std::string> getPrivateProfileSectionNames(const char* path);

// The keys of one section of the file at path, as the file was when the section was
// opened: a reader that asks for many keys of one section finds the file and the
// section once. The look-ups give what getPrivateProfileString and
// getPrivateProfileInt would for that version of the file.
class ProfileSection {
public:
    ProfileSection(const char* path, const char* section);
    ~ProfileSection();
    ProfileSection(const ProfileSection&) = delete;
    ProfileSection& operator=(const ProfileSection&) = delete;

    uint32_t getString(const char* key, const char* defaultValue, char* buffer, uint32_t size) const
    {
        return getString(profile_detail::KeyName(key), defaultValue, buffer, size);
    }
    int32_t getInt(const char* key, int32_t defaultValue) const
    {
        return getInt(profile_detail::KeyName(key), defaultValue);
    }
    // What getString would copy into a buffer of size bytes, without copying it: a
    // view of the file's text, which stays while the reader does, or of defaultValue.
    std::string_view getView(const char* key, const char* defaultValue, uint32_t size) const
    {
        return getView(profile_detail::KeyName(key), defaultValue, size);
    }

private:
    uint32_t getString(const profile_detail::KeyName& key, const char* defaultValue, char* buffer,
                       uint32_t size) const;
    int32_t getInt(const profile_detail::KeyName& key, int32_t defaultValue) const;
    std::string_view getView(const profile_detail::KeyName& key, const char* defaultValue,
                             uint32_t size) const;
    std::optional<std::string_view> find(const profile_detail::KeyName& key) const;

    std::shared_ptr<const profile_detail::ProfileData> data_;
    const profile_detail::ProfileSectionSpan* section_ = nullptr;  // none when it is missing
    // The section's key lines; none for a long section, whose keys are found through
    // its index.
    std::shared_ptr<const profile_detail::ProfileKeyTable> keys_;
};

// While a scope is alive on a thread, each file that thread reads is checked for
// changes only once: the look-ups of one scope all see the same content, even when
// the file is rewritten meanwhile. Scopes nest. When the outermost scope ends, the
// files read in it are let go, so a large file does not stay in memory.
class ProfileReadScope {
public:
    ProfileReadScope();
    // A scope on this thread that reads what the scope shared (see current()) of
    // another thread reads: a thread that takes over part of a job sees the same
    // content as the thread it helps. The files stay until the shared scope ends,
    // which must outlive this one.
    explicit ProfileReadScope(uint64_t shared);
    ~ProfileReadScope();
    ProfileReadScope(const ProfileReadScope&) = delete;
    ProfileReadScope& operator=(const ProfileReadScope&) = delete;

    // The scope alive on this thread, for another thread to share; 0 when none is.
    static uint64_t current();

private:
    bool owner_ = true;  // whether the files read are let go when this scope ends
};

}  // namespace platform
