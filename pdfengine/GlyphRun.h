// A text mapped onto a font: the bytes to write into the content stream and, per
// character, what it selects and how wide it is. Characters the font lacks are
// shown with the notdef glyph and counted, and their width still counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pdfengine {

struct GlyphRun {
    struct Glyph;
    // Whether word spacing widens this glyph: PDF applies it to the one-byte code 32;
    // in fonts with two-byte codes the engine applies it to the space character itself.
    static bool takesWordSpacing(const Glyph& g)
    {
        return g.codeLength == 1 ? g.code == 32 : g.unicode == U' ';
    }

    struct Glyph {
        uint32_t code = 0;     // the code written for the character
        int codeLength = 1;    // its length in bytes
        uint32_t glyph = 0;    // what the code selects: glyph id, CID, or the 8-bit code
        char32_t unicode = 0;  // the character, 0 when unknown
        int width = 0;         // advance in 1/1000 em
        bool missing = false;  // the font lacks it: notdef is shown
    };

    // Filled only through add() and addBytes(), which keep the sums below.
    std::string codes;  // the string operand of Tj
    std::vector<Glyph> glyphs;
    int width = 0;       // sum of the advances, 1/1000 em
    int missing = 0;     // characters shown as notdef
    int wordSpaces = 0;  // one-byte codes 32: where PDF applies word spacing
    int spacings = 0;    // glyphs that takesWordSpacing() widens

    // Adds a glyph whose code is written as its codeLength bytes, most significant first.
    void add(const Glyph& glyph)
    {
        if (glyph.codeLength == 1) {
            codes.push_back(static_cast<char>(glyph.code));
        } else {
            for (int shift = 8 * (glyph.codeLength - 1); shift >= 0; shift -= 8)
                codes.push_back(static_cast<char>((glyph.code >> shift) & 0xFF));
        }
        count(glyph);
    }
    void add(const Glyph& glyph, std::string_view bytes)
    {
        codes += bytes;
        count(glyph);
    }
    // One-byte codes, each looked up in `table` (256 glyphs by byte, each with
    // a one-byte code): what add() does for each, in one pass over the text.
    void addBytes(std::string_view bytes, const Glyph* table)
    {
        const size_t first = glyphs.size();
        const size_t firstCode = codes.size();
        glyphs.resize(first + bytes.size());
        codes.resize(firstCode + bytes.size());
        Glyph* out = glyphs.data() + first;
        char* code = codes.data() + firstCode;
        for (char c : bytes) {
            const Glyph& g = table[static_cast<uint8_t>(c)];
            *out++ = g;
            *code++ = static_cast<char>(g.code);
            width += g.width;
            missing += g.missing ? 1 : 0;
            wordSpaces += g.code == 32 ? 1 : 0;
            spacings += takesWordSpacing(g) ? 1 : 0;
        }
    }
    void reserve(size_t characters)
    {
        glyphs.reserve(characters);
        codes.reserve(2 * characters);
    }

private:
    void count(const Glyph& glyph)
    {
        glyphs.push_back(glyph);
        width += glyph.width;
        if (glyph.missing)
            ++missing;
        if (glyph.codeLength == 1 && glyph.code == 32)
            ++wordSpaces;
        if (takesWordSpacing(glyph))
            ++spacings;
    }
};

}  // namespace pdfengine
