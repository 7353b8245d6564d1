#include "fuzz/targets/FuzzTargets.h"

namespace fuzztargets {

namespace {

constexpr Target targets[] = {
    {"configuration", configuration}, {"option_list", optionList},   {"pcos_path", pcosPath},
    {"pdi_document", pdiDocument},    {"block_reader", blockReader}, {"code_pages", codePages},
    {"font_text", fontText},          {"image_file", imageFile},
};

}  // namespace

std::span<const Target> allTargets()
{
    return targets;
}

}  // namespace fuzztargets
