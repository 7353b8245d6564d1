// What to write into a PDF for one font at the end of a document: the font
// dictionary, its descendant CIDFont, font descriptor, font program and ToUnicode
// stream, as plain values. FontObjectWriter turns it into objects.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pdfengine/CidWidthArray.h"
#include "pdfengine/FontDescriptor.h"
#include "pdfengine/FontEncoding.h"
#include "pdfengine/FontSubsetter.h"

namespace pdfengine {

struct FontObjects {
    enum class Kind {
        Type1,     // a standard font, not embedded
        TrueType,  // a simple TrueType font
        Type0      // a composite font with one descendant CIDFont
    };

    Kind kind = Kind::Type1;
    std::string baseFont;

    // Simple fonts: /Encoding is the name, or a dictionary when there are differences;
    // neither for a symbolic font's own encoding.
    std::string encodingName;
    std::optional<FontEncoding::Dictionary> encodingDictionary;
    int firstChar = 0;
    std::vector<int> widths;  // /Widths from firstChar on; none when empty

    // Type0: /Encoding is the CMap name (Identity-H, UniJIS-UCS2-H, ...).
    std::string cidFontType;  // CIDFontType0 or CIDFontType2
    std::string cidBaseFont;
    std::string registry;
    std::string ordering;
    int supplement = 0;
    int defaultWidth = 1000;
    std::vector<CidWidthArray::Entry> cidWidths;
    bool cidToGidIdentity = false;
    // A CIDFontType2 whose program was renumbered: the glyph of each CID, written
    // as the /CIDToGIDMap stream instead of /Identity.
    std::vector<uint16_t> cidToGidMap;

    std::optional<FontDescriptor> descriptor;
    std::optional<FontSubsetter::Result> program;  // the embedded font program
    std::string toUnicode;                         // CMap text; none when empty
};

}  // namespace pdfengine
