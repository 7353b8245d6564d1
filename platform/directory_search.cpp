#include "platform/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <cctype>

namespace platform {

namespace {

char folded(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

FileTime fromStatx(const struct statx_timestamp& time)
{
    return fileTimeFromUnix(time.tv_sec, time.tv_nsec);
}

// Fills everything but the name from the file system; false when the entry has gone.
bool describe(const std::string& path, const std::string& name, FindData& out)
{
    struct statx status {};
    unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    // A link is described by what it points to; a dangling one by itself.
    if (::statx(AT_FDCWD, path.c_str(), 0, mask, &status) != 0 &&
        ::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, mask, &status) != 0)
        return false;
    out = FindData{};
    out.fileName = name;
    if (S_ISDIR(status.stx_mode))
        out.attributes |= fileAttributeDirectory;
    if (!(status.stx_mode & S_IWUSR))
        out.attributes |= fileAttributeReadOnly;
    if (name.size() > 1 && name[0] == '.' && name != "..")
        out.attributes |= fileAttributeHidden;
    if (out.attributes == 0)
        out.attributes = fileAttributeNormal;
    out.sizeHigh = static_cast<uint32_t>(status.stx_size >> 32);
    out.sizeLow = static_cast<uint32_t>(status.stx_size & 0xFFFFFFFFu);
    out.lastAccessTime = fromStatx(status.stx_atime);
    out.lastWriteTime = fromStatx(status.stx_mtime);
    // Not every file system keeps a birth time; the last change is the closest
    // stand-in that is never later than the last write.
    if (status.stx_mask & STATX_BTIME)
        out.creationTime = fromStatx(status.stx_btime);
    else
        out.creationTime = std::min(fromStatx(status.stx_ctime), out.lastWriteTime,
                                    [](const FileTime& a, const FileTime& b) { return a.ticks < b.ticks; });
    return true;
}

}  // namespace

bool matchesFilePattern(const char* name, const char* pattern)
{
    // Greedy matching with one point to go back to: the last "*" seen.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern && (*pattern == '?' || folded(*pattern) == folded(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool DirectorySearch::findFirst(const std::string& searchText, FindData& out)
{
    close();
    size_t slash = searchText.rfind('/');
    std::string pattern = slash == std::string::npos ? searchText : searchText.substr(slash + 1);
    if (slash == std::string::npos)
        folder.clear();
    else
        folder = slash == 0 ? "/" : searchText.substr(0, slash);
    if (pattern.empty())
        return false;

    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return false;
    while (const dirent* entry = ::readdir(directory)) {
        if (matchesFilePattern(entry->d_name, pattern.c_str()))
            names.emplace_back(entry->d_name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return findNext(out);
}

bool DirectorySearch::findNext(FindData& out)
{
    while (next < names.size()) {
        const std::string& name = names[next++];
        std::string path = folder.empty() ? name : (folder == "/" ? "/" + name : folder + "/" + name);
        if (describe(path, name, out))
            return true;
    }
    return false;
}

void DirectorySearch::close()
{
    folder.clear();
    names.clear();
    next = 0;
}

}  // namespace platform
