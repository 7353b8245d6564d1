// Font programs for embedding, made with HarfBuzz's subsetter: only the glyphs a
// document shows, without hinting or layout tables, and selected by the same
// codes as in the whole font (so the codes already written into content streams
// stay valid): glyph ids, kept in place, or the CIDs of a CID-keyed CFF font.
// A TrueType subset for a CIDFont is the exception: its glyphs are renumbered
// and the CIDFont's CIDToGIDMap leads the old ids to the new ones.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pdfengine {

class FontFile;

class FontSubsetter {
public:
    // How a font program is embedded.
    enum class Program {
        FontFile2,     // TrueType
        OpenTypeCff,   // FontFile3 /Subtype /OpenType (PDF 1.6)
        CidFontType0C  // FontFile3 /Subtype /CIDFontType0C: the bare CFF of a CID-keyed font
    };

    struct Result {
        std::string data;  // the font program
        Program program = Program::FontFile2;
        std::string tag;  // six capital letters for the BaseFont prefix, "" when not a subset
        // A renumbered subset: the new glyph id of each original one up to the
        // highest kept (0 for those left out). Empty when the ids were kept.
        std::vector<uint16_t> newGlyphIds;
    };

    // Which tables a program needs beyond the outlines and metrics.
    enum class Tables {
        ForSimpleFont,  // cmap, post and name too: a simple TrueType font finds glyphs through them
        ForCidFont      // only what glyph ids need: CIDFonts never look a character up; a
                        // TrueType program is renumbered (see Result::newGlyphIds)
    };

    // The glyphs (0, notdef, is always kept) of one face, as a standalone font.
    static Result subset(const FontFile& font, const std::set<uint32_t>& glyphs,
                         Tables tables = Tables::ForSimpleFont);
    // The whole face as a standalone font (a face of a collection taken out of it).
    static Result whole(const FontFile& font);

    // Six capital letters derived from the font's name and the glyph set: the same
    // subset always gets the same tag, different subsets almost surely different ones.
    static std::string tag(const std::string& fontName, const std::set<uint32_t>& glyphs);
    // The bare CFF table of an OpenType font (FontFile3 /CIDFontType0C or /Type1C),
    // or "" when it has none.
    static std::string cffTable(std::string_view openType);
};

}  // namespace pdfengine
