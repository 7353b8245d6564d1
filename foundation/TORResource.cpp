#include "foundation/TORResource.h"

#include <cstring>

namespace {

// Lines are read in pieces of at most this many bytes less one.
constexpr int lineBufferSize = 8192;

}  // namespace

TORResource::TORResource(const char* name)
    : fileName(name), entries(std::make_unique<TORContainer>(1024, 512))
{
}

TORResource::~TORResource()
{
    close();
}

template <typename Matches>
const char* TORResource::findLoaded(Matches matches, const char* fallback)
{
    for (int32_t i = 0; i < entries->getCount(); ++i) {
        auto* entry = dynamic_cast<TORResourceData*>(entries->get(i));
        if (entry && matches(*entry))
            return entry->getText();
    }
    TORResourceData* entry = nullptr;
    while (readNext(&entry)) {
        if (matches(*entry))
            return entry->getText();
    }
    return fallback;
}

const char* TORResource::getTextByNameLoaded(const char* name, const char* fallback)
{
    if (!name)
        return fallback;
    return findLoaded(
        [name](const TORResourceData& entry) {
            return entry.getName() && std::strcmp(entry.getName(), name) == 0;
        },
        fallback);
}

const char* TORResource::getTextByIdLoaded(int32_t id, const char* fallback)
{
    return findLoaded([id](const TORResourceData& entry) { return entry.getId() == id; }, fallback);
}

const char* TORResource::readNext(TORResourceData** out)
{
    if (!out || atEnd || !open())
        return nullptr;
    char line[lineBufferSize];
    while (std::fgets(line, sizeof line, stream.get())) {
        if (line[0] == '\n' || line[0] == '#')
            continue;
        auto entry = std::make_unique<TORResourceData>();
        if (!entry->parse(line))
            continue;
        if (entries->add(entry.get()) < 0)
            return nullptr;
        *out = entry.release();
        return (*out)->getText();
    }
    atEnd = 1;
    close();
    return nullptr;
}

void TORResource::switchTo(const char* name)
{
    if (!name || (fileName.present() && std::strcmp(name, fileName.get()) == 0))
        return;
    // The stream of the earlier file would otherwise go on feeding this one.
    close();
    fileName.set(name);
    atEnd = 0;
}

const char* TORResource::getTextByName(const char* name, const char* fallback, const char* file)
{
    switchTo(file);
    if (!atEnd)
        readAll();
    return getTextByNameLoaded(name, fallback);
}

const char* TORResource::getTextById(int32_t id, const char* fallback, const char* file)
{
    switchTo(file);
    if (!atEnd)
        readAll();
    return getTextByIdLoaded(id, fallback);
}

bool TORResource::open()
{
    if (isOpen)
        return true;
    if (!fileName.present())
        return false;
    stream.reset(std::fopen(fileName.get(), "r"));
    if (!stream)
        return false;
    isOpen = 1;
    return true;
}

void TORResource::close()
{
    stream.reset();
    isOpen = 0;
}

void TORResource::readAll()
{
    TORResourceData* entry = nullptr;
    while (readNext(&entry)) {
    }
}
