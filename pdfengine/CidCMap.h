// A predefined Adobe-Japan1 CMap the engine shows text with (UniJIS-UCS2-H,
// UniJIS-UCS2-HW-H, UniJIS-UTF16-H, 90ms-RKSJ-H, 90msp-RKSJ-H): how text bytes
// split into codes and which CID each code selects. PDFs name the CMap and
// readers apply their own copy; the engine needs the same mapping for widths.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pdfengine/cid_table.h"

namespace pdfengine {

class CidCMap {
public:
    // One code taken from a text.
    struct Code {
        uint32_t code = 0;    // the code's bytes as a big-endian number
        int length = 1;       // bytes it took; at least 1, so every step makes progress
        uint16_t cid = 0;     // what a reader shows for it: 0 (notdef) when unmapped
        bool mapped = false;  // false for invalid or truncated bytes, unmapped codes and control codes
    };

    // The CMap of that exact name, or null.
    static const CidCMap* find(std::string_view name);

    const char* name() const;
    int supplement() const;
    ciddata::CodeSpace codeSpace() const;
    // Whether the codes are Unicode (UTF-16 or UCS-2 code units).
    bool unicodeCodes() const;

    // The code that begins at bytes[pos].
    Code next(std::string_view bytes, size_t pos) const;
    // The CID of a code, if the CMap maps it (control codes of the notdef ranges are not mapped).
    std::optional<uint16_t> cid(uint32_t code) const;
    // The bytes of a code (one, two or four), and how many there are.
    std::string bytesOf(uint32_t code) const;
    int codeLength(uint32_t code) const;
    // The code of a Unicode character in a Unicode CMap (a surrogate pair as one
    // number in UniJIS-UTF16-H); none for other CMaps or characters UCS-2 cannot hold.
    std::optional<uint32_t> codeFor(char32_t unicode) const;
    // A code of the code space that shows CID 0, for characters the collection lacks.
    uint32_t notdefCode() const;

    // What the CMap's ranges say of a code, searched range by range (the CMap
    // and then its bases): the CID, and whether it came from a notdef range.
    // Codes up to FFFF are answered from a table made from the same ranges.
    std::optional<uint16_t> searchRanges(uint32_t code, bool& notdefRange) const;

private:
    // Per code up to FFFF: the CID in the low 16 bits and the flags below.
    using CodeTable = std::array<uint32_t, 0x10000>;
    static constexpr uint32_t kFound = 1u << 16;
    static constexpr uint32_t kNotdefRange = 1u << 17;

    explicit constexpr CidCMap(const ciddata::CMapRecord* record) : record_(record) {}
    std::optional<uint16_t> lookup(uint32_t code, bool& notdefRange) const;
    size_t index() const;
    // The table of codes up to FFFF, made by find() before it gives the CMap
    // out: every text shown in the CMap maps each of its codes.
    void makeTable() const;

    const ciddata::CMapRecord* record_;
};

}  // namespace pdfengine
