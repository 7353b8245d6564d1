// Builds the text of a ToUnicode CMap: which Unicode text each code of a font's
// content strings stands for, so that text extraction and search give back what
// was shown. Runs of codes with consecutive characters become bfrange entries,
// the rest bfchar; characters beyond the BMP are written as UTF-16 surrogate pairs.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pdfengine {

class ToUnicodeCMap {
public:
    // Codes from low to high, all of `bytes` length; first bytes of different
    // ranges must not overlap unless their lengths agree.
    struct CodespaceRange {
        uint32_t low;
        uint32_t high;
        int bytes;
    };

    // Two-byte codes 0000-FFFF (Identity-H and the UCS-2 CMaps).
    ToUnicodeCMap();
    explicit ToUnicodeCMap(std::vector<CodespaceRange> codespace);
    static ToUnicodeCMap oneByte();
    // The code space of Shift-JIS (90ms-RKSJ-H and friends).
    static ToUnicodeCMap shiftJis();

    // Maps a code to a text (usually one character). A code added again keeps its
    // first text; an empty text, or a code outside the code space, is ignored.
    void add(uint32_t code, std::u32string text);
    // Maps each code to its one character.
    void add(const std::map<uint32_t, char32_t>& characters);
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }

    // The complete CMap stream text.
    std::string build() const;

private:
    int lengthOf(uint32_t code) const;

    std::vector<CodespaceRange> codespace_;
    std::map<std::pair<int, uint32_t>, std::u32string> entries_;  // (length, code) -> text
};

}  // namespace pdfengine
