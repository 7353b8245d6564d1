// libFuzzer entry of the configuration target (fuzz/targets/).
#include "fuzz/targets/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzztargets::configuration(data, size);
}
