#include "config/FileChecks.h"

#include <sys/stat.h>

namespace {

thread_local std::unordered_set<std::string>* foundFiles = nullptr;

}  // namespace

bool fileExists(const char* name)
{
    if (foundFiles && foundFiles->count(name) != 0)
        return true;
    struct stat status;
    if (::stat(name, &status) != 0)
        return false;
    if (foundFiles)
        foundFiles->insert(name);
    return true;
}

// Scopes nest: the outermost one keeps the files found.
FileCheckScope::FileCheckScope() : outermost_(foundFiles == nullptr)
{
    if (outermost_)
        foundFiles = &found_;
}

FileCheckScope::~FileCheckScope()
{
    if (outermost_)
        foundFiles = nullptr;
}
