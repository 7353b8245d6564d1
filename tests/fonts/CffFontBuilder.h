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
    int cid = 0;  // the glyph's CID in a CID-keyed font
};

// Glyph 0 is notdef (an outlined box); the glyphs follow in order from glyph 1 on.
// A CID-keyed font (Adobe-Identity-0) gives each glyph its `cid`.
std::string buildCffFont(const std::string& postScriptName, const std::vector<CffGlyph>& glyphs,
                         bool cidKeyed = false);

}  // namespace fonttest
