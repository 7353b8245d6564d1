// The /W array of a CIDFont, written compactly: runs of equal widths as
// "first last width", other neighbouring CIDs as "first [w1 w2 ...]", and CIDs
// whose width is the default (/DW) left out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pdfengine {

class CidWidthArray {
public:
    struct Entry {
        uint32_t first = 0;
        uint32_t last = 0;        // for a run of equal widths; equals first otherwise
        std::vector<int> widths;  // one width for a run, else one per CID from first on
        bool run = false;
    };

    // widths: CID -> width in 1/1000 em.
    static std::vector<Entry> build(const std::map<uint32_t, int>& widths, int defaultWidth);
    // The array in PDF syntax, e.g. "[1 [278 556] 231 389 500]".
    static std::string toPdf(const std::vector<Entry>& entries);
};

}  // namespace pdfengine
