#include "pdfengine/InputFile.h"

#include <filesystem>

namespace pdfengine {

std::string findInputFile(std::string_view name, const std::vector<std::string>& searchPath)
{
    namespace fs = std::filesystem;
    // An absolute name needs no path made of it (every page may load the same picture).
    if (name.starts_with('/'))
        return std::string(name);
    const fs::path given(name);
    std::error_code ec;
    if (name.empty() || given.is_absolute() || fs::exists(given, ec))
        return std::string(name);
    for (const std::string& folder : searchPath) {
        fs::path candidate = fs::path(folder) / given;
        if (fs::exists(candidate, ec))
            return candidate.string();
    }
    return std::string(name);
}

}  // namespace pdfengine
