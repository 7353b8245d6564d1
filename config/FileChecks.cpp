#include "config/FileChecks.h"

#include <sys/stat.h>

namespace {

thread_local FileCheckScope::FoundFiles* foundFiles = nullptr;

}  // namespace

bool fileExists(const char* name)
{
    if (foundFiles && foundFiles->find(std::string_view(name)) != foundFiles->end())
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
