// Whether the files a configuration names exist. A configuration names the same few
// font files on every page: within a FileCheckScope (a whole load) a file found once is
// not looked for again.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

// True when name (relative names from the current folder) exists.
bool fileExists(const char* name);

class FileCheckScope {
public:
    FileCheckScope();
    ~FileCheckScope();
    FileCheckScope(const FileCheckScope&) = delete;
    FileCheckScope& operator=(const FileCheckScope&) = delete;

    // Looked up by the name as given, without copying it.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    using FoundFiles = std::unordered_set<std::string, NameHash, std::equal_to<>>;

private:
    FoundFiles found_;
    bool outermost_;
};
