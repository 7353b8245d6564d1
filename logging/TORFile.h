// One directory entry: its names, size, attribute bits and three times (local).
#pragma once

#include <cstdint>

#include "foundation/OwnedText.h"
#include "foundation/TORSortableObject.h"
#include "logging/tr_datetime.h"
#include "platform/directory_search.h"

class TORFile : public TORSortableObject {
public:
    // Sizes, attributes and times 0.
    explicit TORFile(const char* name);
    explicit TORFile(const platform::FindData& record);
    ~TORFile() override = default;
    TORFile(const TORFile&) = delete;
    TORFile& operator=(const TORFile&) = delete;

    // Order for a sortable container, chosen by sortKey: 1 by name, 2 by size, 3 by
    // last-write time, 11-13 the same reversed; any other key (the default 0) gives
    // -1, so each new file goes before all earlier ones.
    int32_t compare(const TORObject* other) const override;
    virtual void assignFindData(const platform::FindData& record);
    virtual void assign(const TORFile& other);

    // The texts, or an empty text when there is none.
    const char* getName() const { return name.present() ? name.get() : ""; }
    const char* getShortName() const { return shortName.present() ? shortName.get() : ""; }
    uint32_t getSizeHigh() const { return sizeHigh; }
    uint32_t getSizeLow() const { return sizeLow; }
    double getSize() const { return sizeHigh * 4294967296.0 + sizeLow; }
    uint32_t getAttributes() const { return attributes; }
    const tr_datetime& getCreationTime() const { return creationTime; }
    const tr_datetime& getLastAccessTime() const { return lastAccessTime; }
    const tr_datetime& getLastWriteTime() const { return lastWriteTime; }

    static uint16_t sortKey;

private:
    OwnedText name;
    OwnedText shortName;
    uint32_t sizeHigh = 0;
    uint32_t sizeLow = 0;
    uint32_t attributes = 0;
    tr_datetime creationTime;
    tr_datetime lastAccessTime;
    tr_datetime lastWriteTime;
};
