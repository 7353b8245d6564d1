#include "tests/fonts/CffFontBuilder.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace fonttest {

namespace {

void put16(std::string& s, int v)
{
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
    s.push_back(static_cast<char>(v & 0xFF));
}

void put32(std::string& s, uint32_t v)
{
    put16(s, static_cast<int>(v >> 16));
    put16(s, static_cast<int>(v & 0xFFFF));
}

// The searchRange, entrySelector and rangeShift of a binary-searchable list.
void searchFields(std::string& s, int count, int unit)
{
    int power = 1, log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    put16(s, unit * power);
    put16(s, log);
    put16(s, unit * (count - power));
}

// A Type 2 charstring or DICT operand.
void number(std::string& s, int v)
{
    if (v >= -107 && v <= 107) {
        s.push_back(static_cast<char>(v + 139));
    } else if (v >= 108 && v <= 1131) {
        s.push_back(static_cast<char>((v - 108) / 256 + 247));
        s.push_back(static_cast<char>((v - 108) % 256));
    } else if (v >= -1131 && v <= -108) {
        s.push_back(static_cast<char>((-v - 108) / 256 + 251));
        s.push_back(static_cast<char>((-v - 108) % 256));
    } else {
        s.push_back(28);
        put16(s, v);
    }
}

// A DICT integer of fixed size, so offsets can be filled in before they are known.
void longNumber(std::string& s, uint32_t v)
{
    s.push_back(29);
    put32(s, v);
}

std::string index(const std::vector<std::string>& items)
{
    std::string s;
    put16(s, static_cast<int>(items.size()));
    if (items.empty())
        return s;
    s.push_back(4);
    uint32_t offset = 1;
    put32(s, offset);
    for (const std::string& item : items) {
        offset += static_cast<uint32_t>(item.size());
        put32(s, offset);
    }
    for (const std::string& item : items)
        s += item;
    return s;
}

std::string rectangle(int advance, int margin, int height)
{
    std::string s;
    number(s, advance);  // the width comes first (nominalWidthX is 0)
    number(s, margin);
    number(s, 0);
    s.push_back(21);  // rmoveto
    number(s, advance - 2 * margin);
    number(s, height);
    number(s, -(advance - 2 * margin));
    s.push_back(6);   // hlineto, alternating with vertical lines
    s.push_back(14);  // endchar
    return s;
}

std::string cff(const std::string& name, const std::vector<CffGlyph>& glyphs, bool cidKeyed)
{
    std::vector<std::string> charStrings = {rectangle(500, 50, 700)};
    std::vector<std::string> strings;
    std::string charset(1, '\0');  // format 0: one SID (or CID) per glyph after notdef
    int cidCount = 1;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        charStrings.push_back(rectangle(glyphs[i].advance, 40, 600));
        if (cidKeyed) {
            put16(charset, glyphs[i].cid);
            cidCount = std::max(cidCount, glyphs[i].cid + 1);
        } else {
            strings.push_back("g" + std::to_string(i + 1));
            put16(charset, static_cast<int>(391 + i));
        }
    }
    if (cidKeyed)
        strings = {"Adobe", "Identity"};  // SIDs 391 and 392
    std::string privateDict;
    number(privateDict, 0);
    privateDict.push_back(20);  // defaultWidthX
    number(privateDict, 0);
    privateDict.push_back(21);  // nominalWidthX
    std::string fdSelect;       // format 3: every glyph in font DICT 0
    fdSelect.push_back(3);
    put16(fdSelect, 1);
    put16(fdSelect, 0);
    fdSelect.push_back(0);
    put16(fdSelect, static_cast<int>(charStrings.size()));

    struct Offsets {
        uint32_t charset = 0, charStrings = 0, privateDict = 0, fdArray = 0, fdSelect = 0;
    };
    auto fontDict = [&](const Offsets& at) {
        std::string d;
        longNumber(d, static_cast<uint32_t>(privateDict.size()));
        longNumber(d, at.privateDict);
        d.push_back(18);
        return d;
    };
    auto topDict = [&](const Offsets& at) {
        std::string d;
        if (cidKeyed) {
            longNumber(d, 391);
            longNumber(d, 392);
            longNumber(d, 0);
            d += std::string("\x0C\x1E", 2);  // ROS
            longNumber(d, static_cast<uint32_t>(cidCount));
            d += std::string("\x0C\x22", 2);  // CIDCount
            longNumber(d, at.fdArray);
            d += std::string("\x0C\x24", 2);  // FDArray
            longNumber(d, at.fdSelect);
            d += std::string("\x0C\x25", 2);  // FDSelect
        } else {
            d += fontDict(at);  // the Private operator
        }
        longNumber(d, at.charset);
        d.push_back(15);
        longNumber(d, at.charStrings);
        d.push_back(17);
        return d;
    };

    std::string head = std::string("\x01\x00\x04\x04", 4) + index({name});
    Offsets at;
    // Operands have fixed sizes, so a first pass with zeros gives every offset.
    size_t start = head.size() + index({topDict(at)}).size() + index(strings).size() + index({}).size();
    at.charset = static_cast<uint32_t>(start);
    at.fdSelect = static_cast<uint32_t>(at.charset + charset.size());
    at.charStrings = static_cast<uint32_t>(at.fdSelect + (cidKeyed ? fdSelect.size() : 0));
    at.fdArray = static_cast<uint32_t>(at.charStrings + index(charStrings).size());
    at.privateDict = static_cast<uint32_t>(at.fdArray + (cidKeyed ? index({fontDict(at)}).size() : 0));
    std::string out = head + index({topDict(at)}) + index(strings) + index({}) + charset;
    if (cidKeyed)
        out += fdSelect;
    out += index(charStrings);
    if (cidKeyed)
        out += index({fontDict(at)});
    return out + privateDict;
}

std::string cmap(const std::vector<CffGlyph>& glyphs)
{
    std::map<char32_t, int> byCode;
    for (size_t i = 0; i < glyphs.size(); ++i)
        byCode[glyphs[i].unicode] = static_cast<int>(i + 1);
    int segments = static_cast<int>(byCode.size()) + 1;
    std::string sub;
    put16(sub, 4);
    put16(sub, 16 + 8 * segments);
    put16(sub, 0);
    put16(sub, 2 * segments);
    searchFields(sub, segments, 2);
    for (const auto& [code, glyph] : byCode)
        put16(sub, static_cast<int>(code));
    put16(sub, 0xFFFF);
    put16(sub, 0);  // reservedPad
    for (const auto& [code, glyph] : byCode)
        put16(sub, static_cast<int>(code));
    put16(sub, 0xFFFF);
    for (const auto& [code, glyph] : byCode)
        put16(sub, (glyph - static_cast<int>(code)) & 0xFFFF);
    put16(sub, 1);
    for (int i = 0; i < segments; ++i)
        put16(sub, 0);  // idRangeOffset
    std::string table;
    put16(table, 0);
    put16(table, 1);
    put16(table, 3);
    put16(table, 1);
    put32(table, 12);
    return table + sub;
}

std::string nameTable(const std::string& name)
{
    std::string utf16;
    for (char c : name)
        put16(utf16, static_cast<unsigned char>(c));
    std::string table;
    put16(table, 0);
    put16(table, 2);
    put16(table, 6 + 2 * 12);
    for (int id : {1, 6}) {
        put16(table, 3);
        put16(table, 1);
        put16(table, 0x409);
        put16(table, id);
        put16(table, static_cast<int>(utf16.size()));
        put16(table, 0);
    }
    return table + utf16;
}

uint32_t checksum(const std::string& table)
{
    std::string padded = table;
    while (padded.size() % 4)
        padded.push_back('\0');
    uint32_t sum = 0;
    for (size_t i = 0; i < padded.size(); i += 4)
        sum += (uint32_t(uint8_t(padded[i])) << 24) | (uint32_t(uint8_t(padded[i + 1])) << 16) |
               (uint32_t(uint8_t(padded[i + 2])) << 8) | uint32_t(uint8_t(padded[i + 3]));
    return sum;
}

}  // namespace

std::string buildCffFont(const std::string& postScriptName, const std::vector<CffGlyph>& glyphs,
                         bool cidKeyed)
{
    int count = static_cast<int>(glyphs.size()) + 1;
    int widest = 500;
    for (const CffGlyph& g : glyphs)
        widest = std::max(widest, g.advance);

    std::string head;
    put32(head, 0x00010000);
    put32(head, 0x00010000);
    put32(head, 0);  // checkSumAdjustment
    put32(head, 0x5F0F3CF5);
    put16(head, 0);
    put16(head, 1000);
    head += std::string(16, '\0');  // created, modified
    put16(head, 0);
    put16(head, 0);
    put16(head, widest);
    put16(head, 700);
    put16(head, 0);  // macStyle
    put16(head, 8);
    put16(head, 2);
    put16(head, 0);
    put16(head, 0);

    std::string hhea;
    put32(hhea, 0x00010000);
    put16(hhea, 800);
    put16(hhea, -200 & 0xFFFF);
    put16(hhea, 0);
    put16(hhea, widest);
    put16(hhea, 0);
    put16(hhea, 0);
    put16(hhea, widest);
    put16(hhea, 1);
    put16(hhea, 0);
    put16(hhea, 0);
    hhea += std::string(8, '\0');
    put16(hhea, 0);
    put16(hhea, count);

    std::string hmtx;
    put16(hmtx, 500);
    put16(hmtx, 50);
    for (const CffGlyph& g : glyphs) {
        put16(hmtx, g.advance);
        put16(hmtx, 40);
    }

    std::string maxp;
    put32(maxp, 0x00005000);
    put16(maxp, count);

    std::map<std::string, std::string> tables = {{"CFF ", cff(postScriptName, glyphs, cidKeyed)},
                                                 {"cmap", cmap(glyphs)},
                                                 {"head", head},
                                                 {"hhea", hhea},
                                                 {"hmtx", hmtx},
                                                 {"maxp", maxp},
                                                 {"name", nameTable(postScriptName)}};
    std::string font = "OTTO";
    int n = static_cast<int>(tables.size());
    put16(font, n);
    searchFields(font, n, 16);
    size_t offset = 12 + 16 * tables.size();
    std::string data;
    for (const auto& [tag, table] : tables) {
        font += tag;
        put32(font, checksum(table));
        put32(font, static_cast<uint32_t>(offset + data.size()));
        put32(font, static_cast<uint32_t>(table.size()));
        data += table;
        while (data.size() % 4)
            data.push_back('\0');
    }
    return font + data;
}

}  // namespace fonttest
