// A TrueType or OpenType (CFF) font file, or one face of a collection, read with
// FreeType. Names, metrics and the embedding permission are read when the file
// is loaded; a character's glyph, a glyph's width and CID are looked up when
// first asked for and kept, since a document shows a few hundred of a CJK
// font's tens of thousands of glyphs. The whole cmap is read only for what
// needs it (the character of a glyph). The file's bytes are kept for
// subsetting: mapped rather than copied, for the same reason. A damaged or
// unsupported file gives a FontError, never a crash.
//
// Lookups fill those tables, const as they are: a FontFile is used by one
// thread at a time (each engine loads its own).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pdfengine/FontDescriptor.h"
#include "pdfengine/PagedTable.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace pdfengine {

class FontFile {
public:
    enum class Format {
        TrueType,    // glyf outlines: embedded as FontFile2
        OpenTypeCff  // CFF outlines in an OpenType wrapper: embedded as FontFile3
    };

    // Reads face `faceIndex` of a file; `what` names the font in messages (its path
    // when loaded from a file).
    static std::unique_ptr<FontFile> load(const std::string& path, int faceIndex = 0);
    static std::unique_ptr<FontFile> fromBytes(std::string bytes, int faceIndex, const std::string& what);

    // The stem width estimated from a weight class (400 regular, 700 bold), where a
    // font has no better value.
    static int stemVForWeight(int weightClass);

    Format format() const { return format_; }
    // A CFF font whose glyphs are selected by CID (its charset) rather than by glyph id.
    bool cidKeyed() const { return cidKeyed_; }
    const std::string& what() const { return what_; }
    const std::string& postScriptName() const { return postScriptName_; }
    const std::string& familyName() const { return familyName_; }
    int faceIndex() const { return faceIndex_; }
    int faceCount() const { return faceCount_; }

    int unitsPerEm() const { return unitsPerEm_; }
    int glyphCount() const { return glyphCount_; }
    // Whether the glyph id exists in the font.
    bool hasGlyph(uint32_t glyph) const { return glyph < static_cast<uint32_t>(glyphCount_); }
    // Advance width in font units; 0 for a glyph id the font does not have.
    int advance(uint32_t glyph) const;
    // Advance width in 1/1000 em.
    int width(uint32_t glyph) const
    {
        if (!hasGlyph(glyph))
            return 0;
        int& width = widths_[static_cast<uint16_t>(glyph)];
        if (width == kUnknownWidth) [[unlikely]]
            width = toThousandths(advance(glyph));
        return width;
    }
    int toThousandths(int fontUnits) const;

    // The glyph of a Unicode character, 0 (notdef) when the font lacks it.
    uint32_t glyphFor(char32_t unicode) const
    {
        if (unicode > 0xFFFF)
            return lookup(unicode);
        uint32_t& glyph = glyphs_[static_cast<uint16_t>(unicode)];
        if (glyph == kUnknownGlyph) [[unlikely]]
            glyph = lookup(unicode);
        return glyph;
    }
    // The code of the cmap by which glyphFor() found the glyph (the lowest, when
    // several were asked for), or 0 when no lookup has found it yet.
    char32_t codeFoundFor(uint32_t glyph) const { return hasGlyph(glyph) ? foundBy_.get(glyph) : 0; }
    // A Unicode character shown by the glyph (the lowest), or 0 when none is mapped to it.
    char32_t unicodeOf(uint32_t glyph) const;
    // (Unicode, glyph) pairs of the font's cmap, ascending by Unicode.
    const std::vector<std::pair<char32_t, uint32_t>>& unicodeMap() const;
    // The CID that selects a glyph in PDF: its charset CID in a CID-keyed CFF, else the glyph id.
    uint32_t pdfCid(uint32_t glyph) const
    {
        if (!cidKeyed_)
            return glyph;
        if (!hasGlyph(glyph))
            return 0;
        uint32_t& cid = cids_[static_cast<uint16_t>(glyph)];
        if (cid == kUnknownGlyph) [[unlikely]]
            cid = cidOf(glyph);
        return cid;
    }

    // fsType of the OS/2 table, and what it allows.
    uint16_t fsType() const { return fsType_; }
    bool embeddingAllowed() const;
    bool subsettingAllowed() const { return (fsType_ & 0x0100) == 0; }

    // Metrics in 1/1000 em; the symbolic flag depends on how the font is used, so the
    // caller chooses it.
    FontDescriptor descriptor(bool symbolic) const;
    int ascender() const { return toThousandths(ascender_); }
    int descender() const { return toThousandths(descender_); }

    // The whole file (all faces of a collection).
    std::string_view bytes() const { return bytes_; }

    ~FontFile();
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

private:
    struct LibraryDeleter {
        void operator()(FT_LibraryRec_* library) const;
    };
    struct FaceDeleter {
        void operator()(FT_FaceRec_* face) const;
    };
    static constexpr uint32_t kUnknownGlyph = 0xFFFFFFFF;
    static constexpr int kUnknownWidth = -0x7FFFFFFF;

    FontFile() = default;
    void read();
    // Asks FreeType for the glyph of a character (and remembers the code it was found by).
    uint32_t lookup(char32_t unicode) const;
    uint32_t cidOf(uint32_t glyph) const;
    // Reads the whole cmap, once, for unicodeOf() and unicodeMap().
    void readCmap() const;

    std::string owned_;        // the bytes when they were given, not mapped
    void* mapping_ = nullptr;  // the mapped file, if it was mapped
    size_t mappingSize_ = 0;
    std::string_view bytes_;
    std::string what_;
    int faceIndex_ = 0;
    int faceCount_ = 1;
    Format format_ = Format::TrueType;
    bool cidKeyed_ = false;
    std::string postScriptName_;
    std::string familyName_;
    int unitsPerEm_ = 1000;
    int ascender_ = 0;
    int descender_ = 0;
    int bbox_[4] = {0, 0, 0, 0};
    int capHeight_ = 0;
    int xHeight_ = 0;
    double italicAngle_ = 0;
    int weightClass_ = 400;
    uint32_t styleFlags_ = 0;  // fixed pitch, serif, script, italic
    uint16_t fsType_ = 0;
    bool symbolCmap_ = false;  // only a (3,0) symbol cmap: codes live at F000-F0FF
    int glyphCount_ = 0;
    size_t metricCount_ = 0;  // long horizontal metrics that hmtx holds
    // Declared after the bytes, so that the face goes first.
    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library_;
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face_;
    mutable PagedTable<uint32_t> glyphs_{kUnknownGlyph};  // U+0000-U+FFFF -> glyph
    mutable PagedTable<char32_t> foundBy_{0};             // glyph -> a code it was found by
    mutable PagedTable<int> widths_{kUnknownWidth};       // glyph -> advance in 1/1000 em
    mutable PagedTable<uint32_t> cids_{kUnknownGlyph};    // glyph -> CID, CID-keyed CFF only
    mutable bool cmapRead_ = false;
    mutable std::vector<std::pair<char32_t, uint32_t>> cmap_;
    mutable std::vector<char32_t> unicodes_;  // glyph id -> its lowest character
};

}  // namespace pdfengine
