#include "pdfengine/FontFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CID_H
#include FT_FONT_FORMATS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

#include "pdfengine/FontError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pdfengine {

namespace {

// FreeType and HarfBuzz take sizes as signed longs and unsigned ints.
constexpr unsigned long long kMaxFileSize = 0x7FFFFFFF;

std::string quoted(const std::string& what)
{
    return "'" + what + "'";
}

FontError damaged(const std::string& what, const std::string& why)
{
    return FontError("Font file " + quoted(what) + " is damaged or not a font (" + why + ")");
}

std::string errorText(FT_Error error)
{
    std::ostringstream text;
    text << "FreeType error 0x" << std::hex << error;
    return text.str();
}

bool isSfnt(std::string_view bytes)
{
    if (bytes.size() < 12)
        return false;
    const char* p = bytes.data();
    return std::memcmp(p, "\x00\x01\x00\x00", 4) == 0 || std::memcmp(p, "true", 4) == 0 ||
           std::memcmp(p, "OTTO", 4) == 0 || std::memcmp(p, "ttcf", 4) == 0;
}

// A PostScript name as a PDF name can hold it: printable, without delimiters.
std::string cleanName(const char* name)
{
    std::string out;
    for (const char* p = name ? name : ""; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c > 0x20 && c < 0x7F && !std::strchr("()<>[]{}/%#", c))
            out.push_back(static_cast<char>(c));
    }
    return out;
}

FT_Face openFace(FT_Library library, std::string_view bytes, long index, const std::string& what)
{
    FT_Face face = nullptr;
    FT_Error error = FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                                        static_cast<FT_Long>(bytes.size()), index, &face);
    if (error)
        throw damaged(what, errorText(error));
    return face;
}

// Height of the top of a glyph (for cap and x heights), or `fallback`.
int glyphTop(FT_Face face, char32_t unicode, int fallback)
{
    FT_UInt glyph = FT_Get_Char_Index(face, unicode);
    if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
        return fallback;
    return static_cast<int>(face->glyph->metrics.horiBearingY);
}

}  // namespace

void FontFile::LibraryDeleter::operator()(FT_LibraryRec_* library) const
{
    FT_Done_FreeType(library);
}

void FontFile::FaceDeleter::operator()(FT_FaceRec_* face) const
{
    FT_Done_Face(face);
}

std::unique_ptr<FontFile> FontFile::load(const std::string& path, int faceIndex)
{
    // Mapped, as FreeType maps the files it opens itself: a CJK font is many
    // megabytes, of which a document reads the header tables and a few glyphs.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FontError("Couldn't open font file " + quoted(path) + " for reading (" +
                        std::string(strerrordesc_np(errno)) + ")");
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FontError("Couldn't read font file " + quoted(path) + " (not a regular file)");
    }
    if (static_cast<unsigned long long>(info.st_size) > kMaxFileSize) {
        ::close(fd);
        throw FontError("Couldn't read font file " + quoted(path) + " (larger than 2 GB)");
    }
    std::unique_ptr<FontFile> font(new FontFile());
    size_t size = static_cast<size_t>(info.st_size);
    void* mapped = size > 0 ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    if (mapped != MAP_FAILED) {
        font->mapping_ = mapped;
        font->mappingSize_ = size;
        font->bytes_ = std::string_view(static_cast<const char*>(mapped), size);
    } else {
        // Files that cannot be mapped (empty ones, some special file systems) are read.
        font->owned_.resize(size);
        size_t done = 0;
        while (done < size) {
            ssize_t got = ::read(fd, font->owned_.data() + done, size - done);
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
        }
        font->owned_.resize(done);
        font->bytes_ = font->owned_;
    }
    ::close(fd);
    font->what_ = path;
    font->faceIndex_ = faceIndex;
    font->read();
    return font;
}

std::unique_ptr<FontFile> FontFile::fromBytes(std::string bytes, int faceIndex, const std::string& what)
{
    std::unique_ptr<FontFile> font(new FontFile());
    font->owned_ = std::move(bytes);
    font->bytes_ = font->owned_;
    font->what_ = what;
    font->faceIndex_ = faceIndex;
    font->read();
    return font;
}

FontFile::~FontFile()
{
    // FreeType lets go of the face before its bytes go.
    face_.reset();
    library_.reset();
    if (mapping_)
        ::munmap(mapping_, mappingSize_);
}

int FontFile::stemVForWeight(int weightClass)
{
    return 10 + std::clamp(weightClass, 100, 900) / 5;
}

int FontFile::toThousandths(int fontUnits) const
{
    return static_cast<int>(std::lround(fontUnits * 1000.0 / unitsPerEm_));
}

void FontFile::read()
{
    if (!isSfnt(bytes_))
        throw FontError("Font file " + quoted(what_) +
                        " is not a TrueType or OpenType font or collection (unsupported format)");
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0)
        throw FontError("Couldn't start FreeType to read font file " + quoted(what_));
    library_.reset(rawLibrary);

    // A negative index asks only how many faces the file has.
    FT_Face probe = openFace(library_.get(), bytes_, -1, what_);
    faceCount_ = static_cast<int>(std::max<FT_Long>(probe->num_faces, 1));
    FT_Done_Face(probe);
    if (faceIndex_ < 0 || faceIndex_ >= faceCount_)
        throw FontError("Face index " + std::to_string(faceIndex_) + " of font file " + quoted(what_) +
                        " is out of range (the file has " + std::to_string(faceCount_) + " face" +
                        (faceCount_ == 1 ? "" : "s") + ")");
    face_.reset(openFace(library_.get(), bytes_, faceIndex_, what_));
    FT_Face face = face_.get();
    if (!FT_IS_SFNT(face) || !FT_IS_SCALABLE(face))
        throw FontError("Font file " + quoted(what_) + " has no outlines (unsupported format)");
    const char* kind = FT_Get_Font_Format(face);
    if (kind && std::strcmp(kind, "CFF") == 0) {
        format_ = Format::OpenTypeCff;
        FT_Bool cid = 0;
        cidKeyed_ = FT_Get_CID_Is_Internally_CID_Keyed(face, &cid) == 0 && cid;
    } else if (kind && std::strcmp(kind, "TrueType") == 0) {
        format_ = Format::TrueType;
    } else {
        throw FontError("Font file " + quoted(what_) + " has unsupported outlines (" +
                        (kind ? kind : "none") + ")");
    }
    if (face->num_glyphs <= 0 || face->num_glyphs > 65535)
        throw damaged(what_, "glyph count " + std::to_string(face->num_glyphs));
    if (face->units_per_EM < 16)
        throw damaged(what_, "units per em " + std::to_string(face->units_per_EM));

    glyphCount_ = static_cast<int>(face->num_glyphs);
    unitsPerEm_ = face->units_per_EM;
    familyName_ = face->family_name ? face->family_name : "";
    postScriptName_ = cleanName(FT_Get_Postscript_Name(face));
    if (postScriptName_.empty())
        postScriptName_ = cleanName(familyName_.c_str());
    if (postScriptName_.empty())
        postScriptName_ = "Unnamed";
    ascender_ = face->ascender;
    descender_ = face->descender;
    bbox_[0] = static_cast<int>(face->bbox.xMin);
    bbox_[1] = static_cast<int>(face->bbox.yMin);
    bbox_[2] = static_cast<int>(face->bbox.xMax);
    bbox_[3] = static_cast<int>(face->bbox.yMax);
    if (FT_IS_FIXED_WIDTH(face))
        styleFlags_ |= FontDescriptor::kFixedPitch;
    if (face->style_flags & FT_STYLE_FLAG_ITALIC)
        styleFlags_ |= FontDescriptor::kItalic;

    if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST))) {
        italicAngle_ = post->italicAngle / 65536.0;
        if (post->isFixedPitch)
            styleFlags_ |= FontDescriptor::kFixedPitch;
    }
    if (italicAngle_ != 0)
        styleFlags_ |= FontDescriptor::kItalic;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        fsType_ = os2->fsType;
        if (os2->usWeightClass >= 1 && os2->usWeightClass <= 1000)
            weightClass_ = os2->usWeightClass;
        if (os2->version >= 2) {
            capHeight_ = os2->sCapHeight;
            xHeight_ = os2->sxHeight;
        }
        int familyClass = os2->sFamilyClass >> 8;
        if ((familyClass >= 1 && familyClass <= 5) || familyClass == 7)
            styleFlags_ |= FontDescriptor::kSerif;
        if (familyClass == 10)
            styleFlags_ |= FontDescriptor::kScript;
    }

    // Advances are read straight from hmtx when asked for: the same for
    // TrueType and CFF outlines. Only its size is checked here.
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    FT_ULong length = 0;
    if (!hhea || FT_Load_Sfnt_Table(face, TTAG_hmtx, 0, nullptr, &length) != 0)
        throw damaged(what_, "no horizontal metrics");
    metricCount_ = std::min<size_t>(hhea->number_Of_HMetrics, length / 4);
    if (metricCount_ == 0)
        throw damaged(what_, "no horizontal metrics");
    FT_Byte last = 0;
    FT_ULong one = 1;
    if (FT_Load_Sfnt_Table(face, TTAG_hmtx, static_cast<FT_Long>(length - 1), &last, &one) != 0)
        throw damaged(what_, "unreadable horizontal metrics");

    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
        if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0)
            symbolCmap_ = true;
    }

    if (capHeight_ <= 0)
        capHeight_ = glyphTop(face, U'H', ascender_);
    if (xHeight_ <= 0)
        xHeight_ = glyphTop(face, U'x', capHeight_ / 2);
}

int FontFile::advance(uint32_t glyph) const
{
    if (!hasGlyph(glyph))
        return 0;
    // Glyphs beyond the long metrics share the last one's advance.
    size_t entry = std::min<size_t>(glyph, metricCount_ - 1);
    FT_Byte bytes[2] = {0, 0};
    FT_ULong length = sizeof bytes;
    if (FT_Load_Sfnt_Table(face_.get(), TTAG_hmtx, static_cast<FT_Long>(entry * 4), bytes, &length) != 0)
        return 0;
    return (bytes[0] << 8) | bytes[1];
}

uint32_t FontFile::lookup(char32_t code) const
{
    if (!face_->charmap || code > 0x10FFFF)
        return 0;
    FT_UInt glyph = FT_Get_Char_Index(face_.get(), code);
    char32_t found = code;
    // Symbol fonts put their characters at F000 + the 8-bit code.
    if (glyph == 0 && symbolCmap_ && code <= 0xFF) {
        found = 0xF000 + code;
        glyph = FT_Get_Char_Index(face_.get(), found);
    }
    if (glyph == 0 || !hasGlyph(glyph))
        return 0;
    char32_t& first = foundBy_[static_cast<uint16_t>(glyph)];
    if (first == 0 || found < first)
        first = found;
    return glyph;
}

uint32_t FontFile::cidOf(uint32_t glyph) const
{
    FT_UInt cid = 0;
    if (FT_Get_CID_From_Glyph_Index(face_.get(), glyph, &cid) == 0 && cid <= 0xFFFF)
        return cid;
    return 0;
}

void FontFile::readCmap() const
{
    if (cmapRead_)
        return;
    cmapRead_ = true;
    FT_Face face = face_.get();
    if (face->charmap) {
        FT_UInt glyph = 0;
        FT_ULong code = FT_Get_First_Char(face, &glyph);
        while (glyph != 0) {
            if (hasGlyph(glyph) && code <= 0x10FFFF)
                cmap_.emplace_back(static_cast<char32_t>(code), glyph);
            code = FT_Get_Next_Char(face, code, &glyph);
        }
        // FreeType gives the characters in ascending order already.
        if (!std::is_sorted(cmap_.begin(), cmap_.end()))
            std::sort(cmap_.begin(), cmap_.end());
    }
    unicodes_.assign(static_cast<size_t>(glyphCount_), 0);
    // Descending, so that the lowest character of a glyph is the one kept.
    for (auto it = cmap_.rbegin(); it != cmap_.rend(); ++it) {
        char32_t code = it->first;
        unicodes_[it->second] = symbolCmap_ && code >= 0xF000 && code <= 0xF0FF ? code - 0xF000 : code;
    }
}

const std::vector<std::pair<char32_t, uint32_t>>& FontFile::unicodeMap() const
{
    readCmap();
    return cmap_;
}

char32_t FontFile::unicodeOf(uint32_t glyph) const
{
    if (!hasGlyph(glyph))
        return 0;
    readCmap();
    return unicodes_[glyph];
}

bool FontFile::embeddingAllowed() const
{
    // Bits 0-3 say how the font may be embedded; only "restricted" (2) alone forbids
    // it (older fonts may set several bits, and the least restrictive one counts).
    // Bitmap-only embedding (0x200) leaves no outlines to embed.
    return (fsType_ & 0x000F) != 0x0002 && (fsType_ & 0x0200) == 0;
}

FontDescriptor FontFile::descriptor(bool symbolic) const
{
    FontDescriptor d;
    d.fontName = postScriptName_;
    d.flags = styleFlags_ | (symbolic ? FontDescriptor::kSymbolic : FontDescriptor::kNonsymbolic);
    for (int i = 0; i < 4; ++i)
        d.bbox[i] = toThousandths(bbox_[i]);
    d.italicAngle = italicAngle_;
    d.ascent = toThousandths(ascender_);
    d.descent = toThousandths(descender_);
    d.capHeight = toThousandths(capHeight_);
    d.xHeight = toThousandths(xHeight_);
    d.stemV = stemVForWeight(weightClass_);
    return d;
}

}  // namespace pdfengine
