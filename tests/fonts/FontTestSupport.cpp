#include "tests/fonts/FontTestSupport.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <sys/stat.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fonttest {

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

uint32_t hex(const std::string& text)
{
    return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
}

}  // namespace

std::map<std::string, int> afmWidths(const std::string& path)
{
    std::map<std::string, int> widths;
    std::istringstream in(slurp(path));
    std::string line;
    std::regex entry(R"(^C -?\d+ ; WX (\d+) ; N (\S+) ;)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, entry))
            widths[m[2]] = std::stoi(m[1]);
    }
    return widths;
}

std::map<uint32_t, uint16_t> cmapFile(const std::string& name)
{
    std::string text = slurp(std::string(kCMapDir) + name);
    std::map<uint32_t, uint16_t> map;
    std::smatch m;
    if (std::regex_search(text, m, std::regex(R"(/(\S+)\s+usecmap)")))
        map = cmapFile(m[1]);
    std::regex block(R"(begincid(range|char)([\s\S]*?)endcid(range|char))");
    std::regex range(R"(<([0-9a-fA-F]+)>\s*<([0-9a-fA-F]+)>\s*(\d+))");
    std::regex single(R"(<([0-9a-fA-F]+)>\s*(\d+))");
    for (auto b = std::sregex_iterator(text.begin(), text.end(), block); b != std::sregex_iterator(); ++b) {
        std::string body = (*b)[2];
        if ((*b)[1] == "range") {
            for (auto r = std::sregex_iterator(body.begin(), body.end(), range); r != std::sregex_iterator();
                 ++r) {
                uint32_t first = hex((*r)[1]), last = hex((*r)[2]);
                int cid = std::stoi((*r)[3]);
                for (uint32_t code = first; code <= last; ++code)
                    map[code] = static_cast<uint16_t>(cid + (code - first));
            }
        } else {
            for (auto r = std::sregex_iterator(body.begin(), body.end(), single); r != std::sregex_iterator();
                 ++r)
                map[hex((*r)[1])] = static_cast<uint16_t>(std::stoi((*r)[2]));
        }
    }
    return map;
}

namespace {

struct Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    Face(const std::string& bytes, int index)
    {
        FT_Init_FreeType(&library);
        if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                               static_cast<FT_Long>(bytes.size()), index, &face) != 0)
            face = nullptr;
    }
    ~Face()
    {
        if (face)
            FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
};

}  // namespace

GlyphInfo glyphInfo(const std::string& fontBytes, int faceIndex, uint32_t glyph)
{
    Face f(fontBytes, faceIndex);
    GlyphInfo info;
    if (!f.face)
        return info;
    FT_Fixed advance = 0;
    if (FT_Get_Advance(f.face, glyph, FT_LOAD_NO_SCALE, &advance) == 0)
        info.advance = advance;
    if (FT_Load_Glyph(f.face, glyph, FT_LOAD_NO_SCALE) == 0) {
        info.loaded = true;
        info.points = f.face->glyph->outline.n_points;
    }
    return info;
}

uint32_t glyphByName(const std::string& fontBytes, const std::string& name)
{
    Face f(fontBytes, 0);
    return f.face ? FT_Get_Name_Index(f.face, name.c_str()) : 0;
}

namespace {

uint32_t be32(const std::string& s, size_t at)
{
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
           (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

void putBe32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

}  // namespace

// A collection header, then each font whole with its table offsets moved by where
// the font now starts.
std::string makeCollection(const std::string& first, const std::string& second)
{
    std::string out = "ttcf";
    out += std::string("\x00\x01\x00\x00", 4);
    out += std::string("\x00\x00\x00\x02", 4);
    size_t offsetsAt = out.size();
    out += std::string(8, '\0');
    for (int i = 0; i < 2; ++i) {
        const std::string& font = i == 0 ? first : second;
        while (out.size() % 4)
            out.push_back('\0');
        size_t start = out.size();
        putBe32(out, offsetsAt + 4 * i, static_cast<uint32_t>(start));
        out += font;
        int tables = (uint8_t(font[4]) << 8) | uint8_t(font[5]);
        for (int t = 0; t < tables; ++t) {
            size_t record = start + 12 + 16 * t + 8;
            putBe32(out, record, be32(out, record) + static_cast<uint32_t>(start));
        }
    }
    return out;
}

}  // namespace fonttest
