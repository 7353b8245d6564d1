// Compiled-in Adobe-Japan1 data: predefined CMaps and CID widths of the Japanese
// standard fonts; the arrays are written by tools/gen_cid_tables.py into cid_table.cpp.
#pragma once

#include <cstdint>

namespace pdfengine::ciddata {

// How the bytes of a text split into codes.
enum class CodeSpace : uint8_t {
    Ucs2,     // two bytes, big-endian; D800-DFFF are not codes
    Utf16,    // two bytes, or four for a surrogate pair
    ShiftJis  // one byte 00-80 and A0-DF, two bytes with a lead byte 81-9F or E0-FC
};

// Codes first..last map to cid, cid + 1, ... (or, as a width run, CIDs first..last
// have the width in cid).
struct CodeRange16 {
    uint16_t first;
    uint16_t last;
    uint16_t cid;
};

struct CodeRange32 {
    uint32_t first;
    uint32_t last;
    uint16_t cid;
};

struct CMapRecord {
    const char* name;
    CodeSpace codeSpace;
    uint8_t supplement;  // of Adobe-Japan1
    const CodeRange16* ranges;
    uint16_t rangeCount;
    const CodeRange32* wideRanges;  // codes above FFFF (surrogate pairs as one number)
    uint16_t wideRangeCount;
    const CodeRange16* notdefRanges;
    uint16_t notdefRangeCount;
    const CMapRecord* base;  // consulted for codes the ranges above lack
    uint32_t notdefCode;     // a code of the code space that maps to CID 0
};

struct StyleRecord {
    const CodeRange16* widths;  // runs of widths other than 1000, ascending
    uint16_t widthCount;
    int16_t bbox[4];
    int16_t capHeight;
    int16_t xHeight;
};

constexpr int kCMapCount = 5;
extern const CMapRecord kCMaps[kCMapCount];
extern const StyleRecord kStyles[2];

}  // namespace pdfengine::ciddata
