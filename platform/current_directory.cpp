#include "platform/current_directory.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace platform {

bool getCurrentDirectory(std::string& out)
{
    out.clear();
    // Paths may be longer than PATH_MAX on some file systems: grow until it fits.
    for (size_t size = 512; size <= (size_t{1} << 20); size *= 2) {
        std::vector<char> buffer(size);
        if (::getcwd(buffer.data(), buffer.size())) {
            out = buffer.data();
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    return false;
}

}  // namespace platform
