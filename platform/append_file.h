// A file that lines are appended to, as the log writer uses it: opened for each line,
// its beginning read back and its size taken, one write at the end of the file per
// line (so lines of several processes do not interleave), then closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile() { close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens an existing file for reading and appending; false when there is none or
    // it cannot be opened so.
    bool openExisting(const char* path);
    // Opens the file for appending, creating it when missing; never empties it.
    bool openForAppend(const char* path);
    // Up to limit bytes from the start of the file, up to and including the first line
    // feed; empty for an empty file or when nothing can be read.
    std::string readFirstLine(size_t limit);
    // The file's size in bytes (0 when it cannot be taken).
    uint64_t size() const;
    // Writes all of bytes at the end of the file; false when not all reached it.
    bool append(const std::string& bytes);
    // False when closing reported an error.
    bool close();

private:
    int descriptor = -1;
};

}  // namespace platform
