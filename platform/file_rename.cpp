#include "platform/file_rename.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace platform {

bool renameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the no-replace rename: a hard link cannot replace either.
    if (::link(from, to) == 0) {
        if (::unlink(from) == 0)
            return true;
        int reason = errno;
        ::unlink(to);  // one file under one name, as before the call
        errno = reason;
        return false;
    }
    if (errno == EEXIST)
        return false;
    // Neither is supported (some network and FAT file systems): test, then rename.
    if (::access(to, F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from, to) == 0;
}

}  // namespace platform
