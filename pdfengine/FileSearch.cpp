#include "pdfengine/FileSearch.h"

#include <sys/stat.h>

namespace pdfengine {

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::optional<std::string> findInputFile(std::string_view name, const std::vector<std::string>& searchPath)
{
    if (name.empty())
        return std::nullopt;
    std::string given(name);
    if (exists(given))
        return given;
    if (name.front() == '/')
        return std::nullopt;
    for (const std::string& folder : searchPath) {
        if (folder.empty())
            continue;
        std::string candidate = folder;
        if (candidate.back() != '/')
            candidate += '/';
        candidate += name;
        if (exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

}  // namespace pdfengine
