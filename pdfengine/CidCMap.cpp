#include "pdfengine/CidCMap.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace pdfengine {

namespace {

template <typename Range>
const Range* findRange(const Range* ranges, size_t count, uint32_t code)
{
    if (!ranges)
        return nullptr;
    const Range* end = ranges + count;
    const Range* found =
        std::upper_bound(ranges, end, code, [](uint32_t c, const Range& r) { return c < r.first; });
    if (found == ranges)
        return nullptr;
    --found;
    return code <= found->last ? found : nullptr;
}

// Writes the codes of the ranges that the table holds, each with its CID (or
// the range's one CID, for notdef ranges) and the flags.
template <typename Range>
void fillTable(std::array<uint32_t, 0x10000>& table, const Range* ranges, size_t count, uint32_t flags,
               bool oneCid)
{
    for (size_t i = 0; ranges && i < count; ++i) {
        const Range& r = ranges[i];
        for (uint32_t code = r.first; code <= r.last && code <= 0xFFFF; ++code) {
            const uint32_t cid = oneCid ? r.cid : r.cid + (code - r.first);
            table[code] = flags | static_cast<uint16_t>(cid);
        }
    }
}

// Per CMap, zero until made by find() and never freed: static storage, since
// freeing 256 KB at exit had the allocator sort through every small block freed
// before.
std::array<uint32_t, 0x10000> codeTables[ciddata::kCMapCount];
std::once_flag codeTablesMade[ciddata::kCMapCount];

bool isLeadByte(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

const CidCMap* CidCMap::find(std::string_view name)
{
    using ciddata::kCMaps;
    static const CidCMap all[] = {CidCMap(&kCMaps[0]), CidCMap(&kCMaps[1]), CidCMap(&kCMaps[2]),
                                  CidCMap(&kCMaps[3]), CidCMap(&kCMaps[4])};
    static_assert(std::size(all) == static_cast<size_t>(ciddata::kCMapCount));
    for (const CidCMap& cmap : all) {
        if (name == cmap.name()) {
            cmap.makeTable();
            return &cmap;
        }
    }
    return nullptr;
}

const char* CidCMap::name() const
{
    return record_->name;
}

int CidCMap::supplement() const
{
    return record_->supplement;
}

ciddata::CodeSpace CidCMap::codeSpace() const
{
    return record_->codeSpace;
}

bool CidCMap::unicodeCodes() const
{
    return record_->codeSpace != ciddata::CodeSpace::ShiftJis;
}

size_t CidCMap::index() const
{
    return static_cast<size_t>(record_ - ciddata::kCMaps);
}

void CidCMap::makeTable() const
{
    CodeTable& table = codeTables[index()];
    std::call_once(codeTablesMade[index()], [&] {
        // Bases first, so that what a CMap says itself overrides them; within
        // one CMap its ranges override its notdef ranges, as the search has it.
        std::vector<const ciddata::CMapRecord*> chain;
        for (const ciddata::CMapRecord* r = record_; r; r = r->base)
            chain.push_back(r);
        for (auto r = chain.rbegin(); r != chain.rend(); ++r) {
            fillTable(table, (*r)->notdefRanges, (*r)->notdefRangeCount, kFound | kNotdefRange, true);
            fillTable(table, (*r)->wideRanges, (*r)->wideRangeCount, kFound, false);
            fillTable(table, (*r)->ranges, (*r)->rangeCount, kFound, false);
        }
    });
}

std::optional<uint16_t> CidCMap::lookup(uint32_t code, bool& notdefRange) const
{
    if (code > 0xFFFF)
        return searchRanges(code, notdefRange);
    // find() made the table before it gave this CMap out.
    const uint32_t entry = codeTables[index()][code];
    notdefRange = (entry & kNotdefRange) != 0;
    if (!(entry & kFound))
        return std::nullopt;
    return static_cast<uint16_t>(entry);
}

std::optional<uint16_t> CidCMap::searchRanges(uint32_t code, bool& notdefRange) const
{
    notdefRange = false;
    for (const ciddata::CMapRecord* r = record_; r; r = r->base) {
        const ciddata::CodeRange16* range =
            code <= 0xFFFF ? findRange(r->ranges, r->rangeCount, code) : nullptr;
        if (range)
            return range->cid + (code - range->first);
        const ciddata::CodeRange32* wide = findRange(r->wideRanges, r->wideRangeCount, code);
        if (wide)
            return wide->cid + (code - wide->first);
        const ciddata::CodeRange16* notdef = findRange(r->notdefRanges, r->notdefRangeCount, code);
        if (notdef) {
            notdefRange = true;
            return notdef->cid;
        }
    }
    return std::nullopt;
}

std::optional<uint16_t> CidCMap::cid(uint32_t code) const
{
    bool notdefRange = false;
    std::optional<uint16_t> found = lookup(code, notdefRange);
    // A derived CMap leaves a code of its base out by mapping it to CID 0.
    if (notdefRange || !found || *found == 0)
        return std::nullopt;
    return found;
}

CidCMap::Code CidCMap::next(std::string_view bytes, size_t pos) const
{
    Code result;
    size_t left = pos < bytes.size() ? bytes.size() - pos : 0;
    if (left == 0)
        return result;
    auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[pos + i]); };
    switch (record_->codeSpace) {
        case ciddata::CodeSpace::Ucs2:
        case ciddata::CodeSpace::Utf16: {
            if (left < 2) {
                result.code = byte(0);
                return result;  // a lone byte: invalid
            }
            uint32_t unit = (byte(0) << 8) | byte(1);
            result.code = unit;
            result.length = 2;
            if (unit >= 0xD800 && unit <= 0xDFFF) {
                bool pair = record_->codeSpace == ciddata::CodeSpace::Utf16 && unit <= 0xDBFF && left >= 4 &&
                            byte(2) >= 0xDC && byte(2) <= 0xDF;
                if (!pair)
                    return result;  // a lone surrogate is no code
                result.code = (unit << 16) | (byte(2) << 8) | byte(3);
                result.length = 4;
            }
            break;
        }
        case ciddata::CodeSpace::ShiftJis: {
            uint8_t lead = byte(0);
            result.code = lead;
            if (isLeadByte(lead)) {
                if (left < 2)
                    return result;
                uint8_t trail = byte(1);
                result.code = (lead << 8) | trail;
                result.length = 2;
                if (trail < 0x40 || trail > 0xFC)
                    return result;
            } else {
                if (lead > 0xDF || (lead > 0x80 && lead < 0xA0))
                    return result;  // FD-FF and the like belong to no code range
            }
            break;
        }
    }
    bool notdefRange = false;
    std::optional<uint16_t> found = lookup(result.code, notdefRange);
    result.cid = found.value_or(0);
    result.mapped = found && !notdefRange && *found != 0;
    return result;
}

int CidCMap::codeLength(uint32_t code) const
{
    if (code > 0xFFFF)
        return 4;
    return record_->codeSpace != ciddata::CodeSpace::ShiftJis || code > 0xFF ? 2 : 1;
}

std::string CidCMap::bytesOf(uint32_t code) const
{
    std::string out;
    for (int shift = 8 * (codeLength(code) - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(code >> shift));
    return out;
}

std::optional<uint32_t> CidCMap::codeFor(char32_t unicode) const
{
    if (unicode > 0x10FFFF || (unicode >= 0xD800 && unicode <= 0xDFFF))
        return std::nullopt;
    switch (record_->codeSpace) {
        case ciddata::CodeSpace::Ucs2:
            if (unicode > 0xFFFF)
                return std::nullopt;
            return unicode;
        case ciddata::CodeSpace::Utf16:
            if (unicode > 0xFFFF) {
                uint32_t v = unicode - 0x10000;
                return ((0xD800 + (v >> 10)) << 16) | (0xDC00 + (v & 0x3FF));
            }
            return unicode;
        case ciddata::CodeSpace::ShiftJis:
            break;
    }
    return std::nullopt;
}

uint32_t CidCMap::notdefCode() const
{
    return record_->notdefCode;
}

}  // namespace pdfengine
