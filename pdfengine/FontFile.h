// A TrueType or OpenType (CFF) font file, or one face of a collection, read with
// FreeType. Everything the engine needs is read once when the file is loaded:
// names, metrics, the embedding permission, the Unicode cmap and every glyph's
// advance. The file's bytes are kept for subsetting: mapped rather than copied,
// since only a small part of a large CJK font is ever read. A damaged or
// unsupported file gives a FontError, never a crash.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pdfengine/FontDescriptor.h"

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
    int glyphCount() const { return static_cast<int>(advances_.size()); }
    // Whether the glyph id exists in the font.
    bool hasGlyph(uint32_t glyph) const { return glyph < advances_.size(); }
    // Advance width in font units; 0 for a glyph id the font does not have.
    int advance(uint32_t glyph) const { return hasGlyph(glyph) ? advances_[glyph] : 0; }
    // Advance width in 1/1000 em.
    int width(uint32_t glyph) const { return hasGlyph(glyph) ? widths_[glyph] : 0; }
    int toThousandths(int fontUnits) const;

    // The glyph of a Unicode character, 0 (notdef) when the font lacks it.
    uint32_t glyphFor(char32_t unicode) const
    {
        return unicode < bmp_.size() ? bmp_[unicode] : glyphBeyondBmp(unicode);
    }
    // A Unicode character shown by the glyph (the lowest), or 0 when none is mapped to it.
    char32_t unicodeOf(uint32_t glyph) const;
    // (Unicode, glyph) pairs of the font's cmap, ascending by Unicode.
    const std::vector<std::pair<char32_t, uint32_t>>& unicodeMap() const { return cmap_; }
    // The CID that selects a glyph in PDF: its charset CID in a CID-keyed CFF, else the glyph id.
    uint32_t pdfCid(uint32_t glyph) const;

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
    FontFile() = default;
    void read();
    uint32_t lookup(char32_t unicode) const;
    uint32_t glyphBeyondBmp(char32_t unicode) const;

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
    std::vector<uint16_t> advances_;
    std::vector<int> widths_;  // advances in 1/1000 em
    std::vector<std::pair<char32_t, uint32_t>> cmap_;
    std::vector<char32_t> unicodes_;  // glyph id -> its lowest character
    std::vector<uint16_t> cids_;      // glyph id -> CID, CID-keyed CFF only
    std::vector<uint16_t> bmp_;       // U+0000-U+FFFF -> glyph, so texts map without searching
};

}  // namespace pdfengine
