// Reads the blocks of an INI file: one section per block, read with the
// project's profile reader, so the file is Shift-JIS like the configuration
// (or Unicode with a byte-order mark). docs/quillon-blocks.md describes the keys.
#pragma once

#include <string>
#include <vector>

#include "tools/quillon-blocks/BlockRequest.h"

namespace quillonblocks {

class BlockIni {
public:
    // The blocks in the order of their sections. Throws std::runtime_error
    // naming the file, the section and the key for anything that is missing
    // or cannot be read.
    static std::vector<BlockRequest> read(const std::string& path);
};

}  // namespace quillonblocks
