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

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

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

Face openFace(FT_Library library, std::string_view bytes, long index, const std::string& what)
{
    FT_Face face = nullptr;
    FT_Error error = FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                                        static_cast<FT_Long>(bytes.size()), index, &face);
    if (error)
        throw damaged(what, errorText(error));
    return Face(face);
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
    Library library(rawLibrary);

    {
        // A negative index asks only how many faces the file has.
        Face probe = openFace(library.get(), bytes_, -1, what_);
        faceCount_ = static_cast<int>(std::max<FT_Long>(probe->num_faces, 1));
    }
    if (faceIndex_ < 0 || faceIndex_ >= faceCount_)
        throw FontError("Face index " + std::to_string(faceIndex_) + " of font file " + quoted(what_) +
                        " is out of range (the file has " + std::to_string(faceCount_) + " face" +
                        (faceCount_ == 1 ? "" : "s") + ")");
    Face face = openFace(library.get(), bytes_, faceIndex_, what_);
    if (!FT_IS_SFNT(face) || !FT_IS_SCALABLE(face))
        throw FontError("Font file " + quoted(what_) + " has no outlines (unsupported format)");
    const char* kind = FT_Get_Font_Format(face.get());
    if (kind && std::strcmp(kind, "CFF") == 0) {
        format_ = Format::OpenTypeCff;
        FT_Bool cid = 0;
        cidKeyed_ = FT_Get_CID_Is_Internally_CID_Keyed(face.get(), &cid) == 0 && cid;
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

    unitsPerEm_ = face->units_per_EM;
    familyName_ = face->family_name ? face->family_name : "";
    postScriptName_ = cleanName(FT_Get_Postscript_Name(face.get()));
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

    if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_POST))) {
        italicAngle_ = post->italicAngle / 65536.0;
        if (post->isFixedPitch)
            styleFlags_ |= FontDescriptor::kFixedPitch;
    }
    if (italicAngle_ != 0)
        styleFlags_ |= FontDescriptor::kItalic;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_OS2));
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

    // Advances straight from hmtx: cheap for fonts of any size, and the same for
    // TrueType and CFF outlines.
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_HHEA));
    FT_ULong length = 0;
    if (!hhea || FT_Load_Sfnt_Table(face.get(), TTAG_hmtx, 0, nullptr, &length) != 0)
        throw damaged(what_, "no horizontal metrics");
    std::string hmtx(length, '\0');
    if (length > 0 &&
        FT_Load_Sfnt_Table(face.get(), TTAG_hmtx, 0, reinterpret_cast<FT_Byte*>(hmtx.data()), &length) != 0)
        throw damaged(what_, "unreadable horizontal metrics");
    size_t metricCount = std::min<size_t>(hhea->number_Of_HMetrics, hmtx.size() / 4);
    if (metricCount == 0)
        throw damaged(what_, "no horizontal metrics");
    advances_.resize(static_cast<size_t>(face->num_glyphs));
    for (size_t glyph = 0; glyph < advances_.size(); ++glyph) {
        size_t entry = std::min(glyph, metricCount - 1) * 4;
        advances_[glyph] = static_cast<uint16_t>((static_cast<uint8_t>(hmtx[entry]) << 8) |
                                                 static_cast<uint8_t>(hmtx[entry + 1]));
    }

    if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0) {
        if (FT_Select_Charmap(face.get(), FT_ENCODING_MS_SYMBOL) == 0)
            symbolCmap_ = true;
    }
    if (face->charmap) {
        FT_UInt glyph = 0;
        FT_ULong code = FT_Get_First_Char(face.get(), &glyph);
        while (glyph != 0) {
            if (glyph < advances_.size() && code <= 0x10FFFF)
                cmap_.emplace_back(static_cast<char32_t>(code), glyph);
            code = FT_Get_Next_Char(face.get(), code, &glyph);
        }
        // FreeType gives the characters in ascending order already.
        if (!std::is_sorted(cmap_.begin(), cmap_.end()))
            std::sort(cmap_.begin(), cmap_.end());
    }
    widths_.resize(advances_.size());
    for (size_t glyph = 0; glyph < advances_.size(); ++glyph)
        widths_[glyph] = toThousandths(advances_[glyph]);
    unicodes_.assign(advances_.size(), 0);
    // Descending, so that the lowest character of a glyph is the one kept.
    for (auto it = cmap_.rbegin(); it != cmap_.rend(); ++it) {
        char32_t code = it->first;
        unicodes_[it->second] = symbolCmap_ && code >= 0xF000 && code <= 0xF0FF ? code - 0xF000 : code;
    }

    // Symbol fonts put their characters at F000 + the 8-bit code.
    bmp_.assign(0x10000, 0);
    for (const auto& [code, glyph] : cmap_) {
        if (code <= 0xFFFF)
            bmp_[code] = static_cast<uint16_t>(glyph);
        if (symbolCmap_ && code >= 0xF000 && code <= 0xF0FF && bmp_[code - 0xF000] == 0)
            bmp_[code - 0xF000] = static_cast<uint16_t>(glyph);
    }

    if (capHeight_ <= 0)
        capHeight_ = glyphTop(face.get(), U'H', ascender_);
    if (xHeight_ <= 0)
        xHeight_ = glyphTop(face.get(), U'x', capHeight_ / 2);

    if (cidKeyed_) {
        cids_.resize(advances_.size());
        for (size_t glyph = 0; glyph < cids_.size(); ++glyph) {
            FT_UInt cid = 0;
            if (FT_Get_CID_From_Glyph_Index(face.get(), static_cast<FT_UInt>(glyph), &cid) == 0 &&
                cid <= 0xFFFF)
                cids_[glyph] = static_cast<uint16_t>(cid);
        }
    }
}

uint32_t FontFile::lookup(char32_t code) const
{
    auto found = std::lower_bound(cmap_.begin(), cmap_.end(), std::make_pair(code, uint32_t{0}));
    return found != cmap_.end() && found->first == code ? found->second : 0;
}

uint32_t FontFile::glyphBeyondBmp(char32_t unicode) const
{
    return lookup(unicode);
}

char32_t FontFile::unicodeOf(uint32_t glyph) const
{
    return glyph < unicodes_.size() ? unicodes_[glyph] : 0;
}

uint32_t FontFile::pdfCid(uint32_t glyph) const
{
    if (cidKeyed_)
        return glyph < cids_.size() ? cids_[glyph] : 0;
    return glyph;
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
