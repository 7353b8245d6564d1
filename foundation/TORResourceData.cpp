#include "foundation/TORResourceData.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

bool TORResourceData::parse(const char* line)
{
    reset();
    if (!line)
        return false;
    auto number = static_cast<int32_t>(std::strtoul(line, nullptr, 16));
    if (number == 0)
        return false;
    const char* firstComma = std::strchr(line, ',');
    if (!firstComma)
        return false;
    const char* secondComma = std::strchr(firstComma + 1, ',');
    if (!secondComma)
        return false;
    std::string entryName(firstComma + 1, secondComma);
    return set(number, entryName.c_str(), secondComma + 1);
}

bool TORResourceData::set(int32_t number, const char* entryName, const char* entryText)
{
    reset();
    if (number == 0 || !entryText)
        return false;
    id = number;
    name.set(entryName);
    size_t end = std::strcspn(entryText, "\r");
    end = std::min(end, std::strcspn(entryText, "\n"));
    text.adopt(TORAllocator::duplicateExact(entryText, end));
    return true;
}

void TORResourceData::reset()
{
    id = 0;
    name.clear();
    text.clear();
}
