#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace platform {

bool AppendFile::openExisting(const char* path)
{
    close();
    descriptor = ::open(path, O_RDWR | O_APPEND | O_CLOEXEC);
    return descriptor >= 0;
}

bool AppendFile::openForAppend(const char* path)
{
    close();
    descriptor = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    return descriptor >= 0;
}

std::string AppendFile::readFirstLine(size_t limit)
{
    std::string head(limit, '\0');
    size_t got = 0;
    while (got < limit) {
        ssize_t n = ::pread(descriptor, head.data() + got, limit - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
        if (std::memchr(head.data() + got - static_cast<size_t>(n), '\n', static_cast<size_t>(n)))
            break;
    }
    head.resize(got);
    size_t feed = head.find('\n');
    if (feed != std::string::npos)
        head.resize(feed + 1);
    return head;
}

uint64_t AppendFile::size() const
{
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0 || status.st_size < 0)
        return 0;
    return static_cast<uint64_t>(status.st_size);
}

bool AppendFile::append(const std::string& bytes)
{
    if (descriptor < 0)
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool AppendFile::close()
{
    if (descriptor < 0)
        return true;
    int result = ::close(descriptor);
    descriptor = -1;
    return result == 0;
}

}  // namespace platform
