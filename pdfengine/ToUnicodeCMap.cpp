#include "pdfengine/ToUnicodeCMap.h"

#include <cstdio>

namespace pdfengine {

namespace {

std::string hexCode(uint32_t code, int bytes)
{
    char buffer[12];
    std::snprintf(buffer, sizeof buffer, "%0*X", bytes * 2, static_cast<unsigned>(code));
    return "<" + std::string(buffer) + ">";
}

std::string utf16Hex(const std::u32string& text)
{
    std::string out = "<";
    char buffer[8];
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c > 0xFFFF) {
            uint32_t v = c - 0x10000;
            std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(0xD800 + (v >> 10)));
            out += buffer;
            c = 0xDC00 + (v & 0x3FF);
        }
        std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(c));
        out += buffer;
    }
    return out + ">";
}

// Writes entries in blocks of at most 100, as a CMap allows.
void writeBlocks(std::string& out, const std::vector<std::string>& lines, const char* kind)
{
    for (size_t start = 0; start < lines.size(); start += 100) {
        size_t count = std::min<size_t>(100, lines.size() - start);
        out += std::to_string(count) + " begin" + kind + "\n";
        for (size_t i = start; i < start + count; ++i)
            out += lines[i] + "\n";
        out += std::string("end") + kind + "\n";
    }
}

}  // namespace

ToUnicodeCMap::ToUnicodeCMap() : codespace_({{0x0000, 0xFFFF, 2}}) {}

ToUnicodeCMap::ToUnicodeCMap(std::vector<CodespaceRange> codespace) : codespace_(std::move(codespace)) {}

ToUnicodeCMap ToUnicodeCMap::oneByte()
{
    return ToUnicodeCMap({{0x00, 0xFF, 1}});
}

ToUnicodeCMap ToUnicodeCMap::shiftJis()
{
    return ToUnicodeCMap({{0x00, 0x80, 1}, {0x8140, 0x9FFC, 2}, {0xA0, 0xDF, 1}, {0xE040, 0xFCFC, 2}});
}

int ToUnicodeCMap::lengthOf(uint32_t code) const
{
    for (const CodespaceRange& range : codespace_) {
        if (code < range.low || code > range.high)
            continue;
        // Every byte must lie within the range's bytes, as code space ranges are byte-wise.
        bool inside = true;
        for (int i = 0; i < range.bytes; ++i) {
            int shift = 8 * (range.bytes - 1 - i);
            uint32_t b = (code >> shift) & 0xFF;
            if (b < ((range.low >> shift) & 0xFF) || b > ((range.high >> shift) & 0xFF))
                inside = false;
        }
        if (inside)
            return range.bytes;
    }
    return 0;
}

void ToUnicodeCMap::add(uint32_t code, std::u32string text)
{
    int length = lengthOf(code);
    if (length == 0 || text.empty())
        return;
    entries_.emplace(std::make_pair(length, code), std::move(text));
}

void ToUnicodeCMap::add(const std::map<uint32_t, char32_t>& characters)
{
    for (const auto& [code, character] : characters)
        add(code, std::u32string(1, character));
}

std::string ToUnicodeCMap::build() const
{
    std::string out =
        "/CIDInit /ProcSet findresource begin\n"
        "12 dict begin\n"
        "begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n"
        "/CMapType 2 def\n";
    std::vector<std::string> spaces;
    for (const CodespaceRange& range : codespace_)
        spaces.push_back(hexCode(range.low, range.bytes) + " " + hexCode(range.high, range.bytes));
    writeBlocks(out, spaces, "codespacerange");

    std::vector<std::string> chars;
    std::vector<std::string> ranges;
    for (auto it = entries_.begin(); it != entries_.end();) {
        auto [length, code] = it->first;
        const std::u32string& text = it->second;
        // A range: same length, consecutive codes and characters, within one last
        // byte of the code and of the (BMP, single character) destination.
        auto end = std::next(it);
        uint32_t last = code;
        if (text.size() == 1 && text[0] <= 0xFFFF) {
            while (end != entries_.end() && end->first.first == length && end->first.second == last + 1 &&
                   ((last + 1) & 0xFF) != 0 && end->second.size() == 1 &&
                   end->second[0] == text[0] + (last + 1 - code) &&
                   ((text[0] + (last + 1 - code)) & 0xFF) != 0) {
                ++last;
                ++end;
            }
        }
        if (last > code)
            ranges.push_back(hexCode(code, length) + " " + hexCode(last, length) + " " + utf16Hex(text));
        else
            chars.push_back(hexCode(code, length) + " " + utf16Hex(text));
        it = end;
    }
    writeBlocks(out, chars, "bfchar");
    writeBlocks(out, ranges, "bfrange");
    out +=
        "endcmap\n"
        "CMapName currentdict /CMap defineresource pop\n"
        "end\n"
        "end\n";
    return out;
}

}  // namespace pdfengine
