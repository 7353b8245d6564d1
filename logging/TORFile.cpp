#include "logging/TORFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

uint16_t TORFile::sortKey = 0;

TORFile::TORFile(const char* fileName) : name(fileName) {}

TORFile::TORFile(const platform::FindData& record)
{
    assignFindData(record);
}

namespace {

int32_t compareFiles(const TORFile& from, const TORFile& to, int key)
{
    switch (key) {
        case 1:
            return std::strcmp(to.getName(), from.getName());
        case 2: {
            // Sizes beyond 2 GiB apart still order right instead of overflowing.
            double difference = to.getSize() - from.getSize();
            return static_cast<int32_t>(std::clamp(difference, double{INT32_MIN}, double{INT32_MAX}));
        }
        case 3:
            if (to.getLastWriteTime().isAfter(from.getLastWriteTime()))
                return 1;
            if (from.getLastWriteTime().isAfter(to.getLastWriteTime()))
                return -1;
            return 0;
        default:
            return -1;
    }
}

}  // namespace

int32_t TORFile::compare(const TORObject* other) const
{
    const auto* file = dynamic_cast<const TORFile*>(other);
    if (!file)
        return -1;
    if (sortKey >= 11 && sortKey <= 13)
        return compareFiles(*file, *this, sortKey - 10);
    return compareFiles(*this, *file, sortKey);
}

void TORFile::assignFindData(const platform::FindData& record)
{
    name.set(record.fileName.c_str());
    shortName.set(record.alternateFileName.c_str());
    sizeHigh = record.sizeHigh;
    sizeLow = record.sizeLow;
    attributes = record.attributes;
    fromFileTime(&creationTime, record.creationTime);
    fromFileTime(&lastAccessTime, record.lastAccessTime);
    fromFileTime(&lastWriteTime, record.lastWriteTime);
}

void TORFile::assign(const TORFile& other)
{
    name.set(other.name.get());
    shortName.set(other.shortName.get());
    sizeHigh = other.sizeHigh;
    sizeLow = other.sizeLow;
    attributes = other.attributes;
    creationTime.assign(other.creationTime);
    lastAccessTime.assign(other.lastAccessTime);
    lastWriteTime.assign(other.lastWriteTime);
}
