// The identifiers that every log line carries, as GetCurrentProcessId and
// GetCurrentThreadId gave them.
#pragma once

#include <cstdint>

namespace platform {

uint32_t currentProcessId();
// The kernel's identifier of the calling thread (equal to the process identifier
// on the main thread).
uint32_t currentThreadId();

}  // namespace platform
