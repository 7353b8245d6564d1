#include "logging/TORLogMessage.h"

#include <cstdio>

#include "logging/tr_datetime.h"
#include "platform/process_ids.h"

bool TORLogMessage::vformat(int32_t newCode, const char* format, va_list arguments)
{
    if (!format) {
        reset();
        return false;
    }
    tr_datetime now(0);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%04d/%02d/%02d %02d:%02d:%02d %04X(%04x) ", now.year, now.month,
                  now.day, now.hour, now.minute, now.second, platform::currentProcessId(),
                  platform::currentThreadId());
    return build(newCode, prefix, format, arguments);
}
