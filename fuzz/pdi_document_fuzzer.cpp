// libFuzzer entry of the pdi_document target (fuzz/targets/).
#include "fuzz/targets/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzztargets::pdiDocument(data, size);
}
