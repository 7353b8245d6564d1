// Writes a copy of a PDF with block definitions added to its pages, where the
// engine's block reader finds them: /PieceInfo /PDFlib /Private /Blocks of each
// page. A block of the same name already on the page is replaced.
#pragma once

#include <string>
#include <vector>

#include "tools/quillon-blocks/BlockRequest.h"

namespace quillonblocks {

class BlockWriter {
public:
    // iniName names the block file in messages. The output is written to a
    // temporary file and renamed into place; the input is never overwritten.
    // Throws std::runtime_error with a message naming the file or block.
    static void write(const std::string& input, const std::string& iniName,
                      const std::vector<BlockRequest>& blocks, const std::string& output);
};

// Points per tenth of a millimetre, as the configuration converts lengths.
inline double tenthsToPoints(double tenths)
{
    return tenths / 3.528;
}

}  // namespace quillonblocks
