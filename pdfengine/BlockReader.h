// Reads the block definitions of an imported page: the page dictionary's
// /PieceInfo /PDFlib /Private /Blocks maps each block's name to its dictionary.
#pragma once

#include <string_view>
#include <vector>

#include "pdfengine/BlockDefinition.h"
#include "pdfengine/PdfText.h"

namespace pdfengine {

class BlockReader {
public:
    // legacyNames decodes name bytes that are not UTF-8 (see PdfText.h).
    explicit BlockReader(NameDecoder legacyNames = {}) : legacyNames_(std::move(legacyNames)) {}

    // The page's blocks in ascending byte order of their names (then of their
    // keys). Entries that are not dictionaries are skipped; a page without the
    // dictionary chain has none. Tolerant of keywords stored as names or strings.
    std::vector<BlockDefinition> read(QPDFObjectHandle page) const;

    // The first block whose name is `name` (UTF-8), else the first whose key
    // has exactly these bytes; null when none does.
    static const BlockDefinition* find(const std::vector<BlockDefinition>& blocks, std::string_view name);

private:
    BlockDefinition readBlock(const std::string& key, QPDFObjectHandle dict) const;

    NameDecoder legacyNames_;
};

}  // namespace pdfengine
