#include "pdfengine/PageBlocks.h"

#include "pdfengine/PdfText.h"

namespace pdfengine {

PageBlocks::PageBlocks(std::vector<BlockDefinition> blocks) : blocks_(std::move(blocks))
{
    // emplace keeps the first of equal names, as a search in order finds it.
    for (const BlockDefinition& block : blocks_) {
        byName_.emplace(block.name, &block);
        byKey_.emplace(block.key, &block);
    }
}

const BlockDefinition* PageBlocks::find(std::string_view name) const
{
    if (auto it = byName_.find(name); it != byName_.end())
        return it->second;
    if (auto it = byKey_.find(name); it != byKey_.end())
        return it->second;
    return nullptr;
}

const BlockDefinition* PageBlocks::findAsGiven(std::string_view name) const
{
    if (auto it = given_.find(name); it != given_.end())
        return it->second;
    const BlockDefinition* block = find(name);
    if (!block)
        if (std::optional<std::string> utf8 = cp932ToUtf8(name))
            block = find(*utf8);
    if (block)
        given_.emplace(name, block);
    return block;
}

}  // namespace pdfengine
