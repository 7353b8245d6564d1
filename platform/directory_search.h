// Listing the entries of one folder that match a wildcard pattern, as FindFirstFileA,
// FindNextFileA and FindClose did: "*" stands for any run of characters, "?" for one,
// letters match in either case, and folders are listed like files ("." and ".."
// included when the pattern matches them). Entries come in byte order of their names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_time.h"

namespace platform {

// The attribute bits of an entry, with Windows' values.
constexpr uint32_t fileAttributeReadOnly = 0x01;
constexpr uint32_t fileAttributeHidden = 0x02;
constexpr uint32_t fileAttributeDirectory = 0x10;
constexpr uint32_t fileAttributeNormal = 0x80;  // only when no other bit is set

// One entry found.
struct FindData {
    uint32_t attributes = 0;
    FileTime creationTime;
    FileTime lastAccessTime;
    FileTime lastWriteTime;
    uint32_t sizeHigh = 0;
    uint32_t sizeLow = 0;
    std::string fileName;           // without the folder
    std::string alternateFileName;  // the 8.3 name; this file system has none, so empty
};

class DirectorySearch {
public:
    DirectorySearch() = default;
    ~DirectorySearch() = default;
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // Starts a search for "folder/pattern" (or "pattern" in the current folder) and
    // gives the first entry; false when the folder cannot be read or nothing matches.
    bool findFirst(const std::string& searchText, FindData& out);
    // The next entry; false when there is none left.
    bool findNext(FindData& out);
    // Ends the search; further findNext calls give false.
    void close();

private:
    std::string folder;
    std::vector<std::string> names;
    size_t next = 0;
};

// Whether name matches a pattern of "*" and "?", letters compared in either case.
bool matchesFilePattern(const char* name, const char* pattern);

}  // namespace platform
