// Builds a small OpenType font with CFF outlines for the tests, so that the CFF
// paths run wherever the tests do: each glyph is a rectangle of its own width,
// reached through a Unicode cmap.
#pragma once

#include <string>
#include <vector>

namespace fonttest {

struct CffGlyph {
    char32_t unicode;
    int advance;  // font units of a 1000-unit em; the rectangle fills it but for a margin
};

// Glyph 0 is notdef (an outlined box); the glyphs follow in order from glyph 1 on.
std::string buildCffFont(const std::string& postScriptName, const std::vector<CffGlyph>& glyphs);

}  // namespace fonttest
