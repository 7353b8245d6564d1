// libFuzzer entry of the image_file target (fuzz/targets/).
#include "fuzz/targets/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzztargets::imageFile(data, size);
}
