// File times as Windows kept them (FILETIME: 100-nanosecond steps since 1601-01-01
// UTC) and their conversion to and from broken-down local time, the work of
// FileTimeToLocalFileTime with FileTimeToSystemTime and of SystemTimeToFileTime with
// LocalFileTimeToFileTime.
#pragma once

#include <cstdint>

namespace platform {

struct FileTime {
    uint64_t ticks = 0;
};

// A broken-down time: month 1-12, dayOfWeek 0 = Sunday.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

// A time of the file system (seconds and nanoseconds since 1970-01-01 UTC).
FileTime fileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

// The local time of a file time; false when it is outside what the machine can
// break down.
bool fileTimeToLocalSystemTime(const FileTime& time, SystemTime& out);
// The file time of a local time (milliseconds included); false for a date before
// 1601 or one the machine cannot represent.
bool localSystemTimeToFileTime(const SystemTime& time, FileTime& out);

}  // namespace platform
