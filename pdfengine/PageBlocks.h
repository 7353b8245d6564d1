// The blocks of one imported page with an index of their names. A form is
// filled block by block, each found by the name the caller gives, so a page of
// many blocks filled on many output pages looks names up far more often than
// it reads blocks.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdfengine/BlockDefinition.h"

namespace pdfengine {

class PageBlocks {
public:
    explicit PageBlocks(std::vector<BlockDefinition> blocks);
    // The index points into the blocks.
    PageBlocks(const PageBlocks&) = delete;
    PageBlocks& operator=(const PageBlocks&) = delete;

    // In the order BlockReader::read gives them.
    const std::vector<BlockDefinition>& all() const { return blocks_; }

    // The block BlockReader::find gives: the first whose name is `name`, else
    // the first whose key has these bytes; null when none does.
    const BlockDefinition* find(std::string_view name) const;
    // find(), and for a name it does not find, the name read as code page 932
    // (callers with Japanese names may give them so). Names that found a block
    // are remembered as they were given.
    const BlockDefinition* findAsGiven(std::string_view name) const;

private:
    std::vector<BlockDefinition> blocks_;
    // Views of the blocks' own names and keys.
    std::unordered_map<std::string_view, const BlockDefinition*> byName_;
    std::unordered_map<std::string_view, const BlockDefinition*> byKey_;
    mutable std::map<std::string, const BlockDefinition*, std::less<>> given_;
};

}  // namespace pdfengine
