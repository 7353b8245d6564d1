// Whether the files a configuration names exist. A configuration names the same few
// font files on every page: within a FileCheckScope (a whole load) a file found once is
// not looked for again.
#pragma once

#include <string>
#include <unordered_set>

// True when name (relative names from the current folder) exists.
bool fileExists(const char* name);

class FileCheckScope {
public:
    FileCheckScope();
    ~FileCheckScope();
    FileCheckScope(const FileCheckScope&) = delete;
    FileCheckScope& operator=(const FileCheckScope&) = delete;

private:
    std::unordered_set<std::string> found_;
    bool outermost_;
};
