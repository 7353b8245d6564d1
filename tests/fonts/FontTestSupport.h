// Fixtures shared by the font tests: the installed fonts they read, and parsers
// for the reference files (AFM, CMap) that our compiled-in tables must agree with.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fonttest {

constexpr const char* kGothic = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";
constexpr const char* kMincho = "/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf";
constexpr const char* kCMapDir = "/usr/share/poppler/cMap/Adobe-Japan1/";
constexpr const char* kAfmDir = "/usr/share/fonts/type1/urw-base35/";
constexpr const char* kOtfDir = "/usr/share/fonts/opentype/urw-base35/";

bool exists(const std::string& path);

// Glyph name -> width of an AFM file.
std::map<std::string, int> afmWidths(const std::string& path);

// Code -> CID of a CMap file, following usecmap; codes of notdef ranges are left out.
std::map<uint32_t, uint16_t> cmapFile(const std::string& name);

// Advance (font units), point count of the outline, and whether FreeType could
// load the glyph, read with FreeType directly.
struct GlyphInfo {
    bool loaded = false;
    long advance = 0;
    int points = 0;
};
GlyphInfo glyphInfo(const std::string& fontBytes, int faceIndex, uint32_t glyph);
// Glyph id of a glyph name, 0 when the font has none.
uint32_t glyphByName(const std::string& fontBytes, const std::string& name);

// Two fonts joined into a TrueType collection.
std::string makeCollection(const std::string& first, const std::string& second);

}  // namespace fonttest

#define REQUIRE_FILE(path)                                 \
    do {                                                   \
        if (!::fonttest::exists(path))                     \
            GTEST_SKIP() << (path) << " is not installed"; \
    } while (0)
