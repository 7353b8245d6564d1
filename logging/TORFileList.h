// The entries of one folder that match a wildcard pattern ("*.log"), as TORFile
// objects in a sortable container, less those matching an exclusion pattern.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORObject.h"
#include "foundation/TORSortableContainer.h"
#include "foundation/TORStringArray.h"
#include "logging/TORFile.h"

class TORFileList : public virtual TORObject {
public:
    // An empty folder text means the current folder. Without either text the list
    // holds nothing and scan gives false.
    TORFileList(const char* directory, const char* pattern);
    ~TORFileList() override = default;
    TORFileList(const TORFileList&) = delete;
    TORFileList& operator=(const TORFileList&) = delete;

    // The first file of that name, letters compared in either case.
    virtual TORFile* findByName(const char* name) const;
    virtual TORFile* getFile(int32_t index) const;
    // Adds the folder's matching entries (folders included) to the list; a folder
    // that cannot be read adds nothing. False without folder or pattern.
    virtual bool scan();

    int32_t getCount() const { return files ? files->getCount() : 0; }
    // Wildcard patterns of names to leave out; none without folder or pattern.
    TORStringArray* getExclusions() const { return exclusions.get(); }

private:
    OwnedText directory;
    OwnedText pattern;
    std::unique_ptr<TORSortableContainer> files;
    std::unique_ptr<TORStringArray> exclusions;
};
