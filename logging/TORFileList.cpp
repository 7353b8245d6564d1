#include "logging/TORFileList.h"

#include <strings.h>
#include <string>

#include "platform/current_directory.h"
#include "platform/directory_search.h"

TORFileList::TORFileList(const char* folder, const char* filePattern)
{
    if (!folder || !filePattern)
        return;
    files = std::make_unique<TORSortableContainer>(512, 256);
    exclusions = std::make_unique<TORStringArray>(16, 8);
    directory.set(folder);
    pattern.set(filePattern);
}

TORFile* TORFileList::findByName(const char* name) const
{
    if (!files || !name)
        return nullptr;
    for (int32_t i = 0; i < files->getCount(); ++i) {
        TORFile* file = getFile(i);
        if (file && strcasecmp(file->getName(), name) == 0)
            return file;
    }
    return nullptr;
}

TORFile* TORFileList::getFile(int32_t index) const
{
    if (!files)
        return nullptr;
    return dynamic_cast<TORFile*>(files->get(index));
}

bool TORFileList::scan()
{
    if (!directory.present() || !pattern.present())
        return false;
    std::string search = directory.get();
    if (!search.empty() && search.back() != platform::pathSeparator)
        search += platform::pathSeparator;
    search += pattern.get();

    platform::DirectorySearch listing;
    platform::FindData record;
    for (bool found = listing.findFirst(search, record); found && !record.fileName.empty();
         found = listing.findNext(record)) {
        bool excluded = false;
        for (int32_t i = 0; i < exclusions->getCount() && !excluded; ++i) {
            const char* exclusion = nullptr;
            excluded = exclusions->get(&exclusion, i) && exclusion &&
                       wildcardCompare(record.fileName.c_str(), exclusion, true) == 0;
        }
        if (excluded)
            continue;
        auto file = std::make_unique<TORFile>(record);
        if (files->add(file.get()) >= 0)
            file.release();
    }
    listing.close();
    return true;
}
