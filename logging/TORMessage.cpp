#include "logging/TORMessage.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/TORAllocator.h"

int32_t TORMessage::bufferSize = 0x40000;
int32_t TORMessage::instanceCount = 0;
std::unique_ptr<TORResource> TORMessage::sharedResources;

TORMessage::TORMessage()
{
    ++instanceCount;
}

TORMessage::~TORMessage()
{
    if (--instanceCount == 0)
        sharedResources.reset();
}

void TORMessage::reset()
{
    code = 0;
    text.clear();
}

bool TORMessage::build(int32_t newCode, const char* prefix, const char* format, va_list arguments)
{
    reset();
    if (!format)
        return false;
    // One scratch buffer serves every message of a thread, so a line costs no
    // allocation beyond its own copy.
    thread_local std::vector<char> scratch;
    size_t scratchSize = bufferSize > 0 ? static_cast<size_t>(bufferSize) : 1;
    if (scratch.size() != scratchSize)
        scratch.assign(scratchSize, '\0');

    size_t prefixLength = std::strlen(prefix);
    va_list again;
    va_copy(again, arguments);
    int length = -1;
    if (prefixLength < scratch.size()) {
        std::memcpy(scratch.data(), prefix, prefixLength);
        length =
            std::vsnprintf(scratch.data() + prefixLength, scratch.size() - prefixLength, format, arguments);
    } else {
        length = std::vsnprintf(nullptr, 0, format, arguments);
    }
    if (length < 0) {
        va_end(again);
        return false;
    }
    size_t total = prefixLength + static_cast<size_t>(length);
    if (total < scratch.size()) {
        text.adopt(TORAllocator::duplicateExact(scratch.data(), total));
    } else {
        // Too long for the scratch buffer: nothing of a line is cut off.
        auto whole = std::make_unique<char[]>(total + 1);
        std::memcpy(whole.get(), prefix, prefixLength);
        std::vsnprintf(whole.get() + prefixLength, static_cast<size_t>(length) + 1, format, again);
        text.adopt(whole.release());
    }
    va_end(again);
    code = newCode;
    return true;
}

bool TORMessage::vformat(int32_t newCode, const char* format, va_list arguments)
{
    return build(newCode, "", format, arguments);
}

bool TORMessage::format(int32_t newCode, const char* format, ...)
{
    // Through vformat even without a format, so the message is left reset.
    va_list arguments;
    va_start(arguments, format);
    vformat(newCode, format, arguments);
    va_end(arguments);
    return format != nullptr;
}

bool TORMessage::formatResource(int32_t id, const char* fileName, ...)
{
    if (!sharedResources && !fileName)
        return false;
    if (!sharedResources)
        sharedResources = std::make_unique<TORResource>(fileName);
    const char* resourceFormat = sharedResources->getTextById(id, "unknown resource", fileName);
    va_list arguments;
    va_start(arguments, fileName);
    vformat(id, resourceFormat, arguments);
    va_end(arguments);
    return true;
}
