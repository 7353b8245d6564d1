// libFuzzer entry of the block_reader target (fuzz/targets/).
#include "fuzz/targets/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzztargets::blockReader(data, size);
}
