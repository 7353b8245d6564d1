#include "pdfengine/FontSubsetter.h"

#include <hb-subset.h>
#include <hb.h>

#include <memory>
#include <vector>

#include "pdfengine/FontError.h"
#include "pdfengine/FontFile.h"

namespace pdfengine {

namespace {

struct BlobDeleter {
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
struct FaceDeleter {
    void operator()(hb_face_t* face) const { hb_face_destroy(face); }
};
struct InputDeleter {
    void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
};
struct PlanDeleter {
    void operator()(hb_subset_plan_t* plan) const { hb_subset_plan_destroy(plan); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobDeleter>;
using Face = std::unique_ptr<hb_face_t, FaceDeleter>;
using Input = std::unique_ptr<hb_subset_input_t, InputDeleter>;
using Plan = std::unique_ptr<hb_subset_plan_t, PlanDeleter>;

// Tables a PDF reader never uses: layout, vertical metrics, bitmaps, colour,
// device metrics and signatures.
constexpr const char* kDroppedTables[] = {
    "GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "kern", "morx", "mort", "kerx", "feat", "vhea", "vmtx",
    "VORG", "EBDT", "EBLC", "EBSC", "CBDT", "CBLC", "sbix", "SVG ", "COLR", "CPAL", "hdmx", "LTSH", "VDMX",
    "DSIG", "meta", "PCLT", "gasp", "STAT", "MVAR", "HVAR", "VVAR", "fvar", "gvar", "avar", "cvar"};

hb_tag_t tagOf(const char* name)
{
    return hb_tag_from_string(name, 4);
}

// Tables a CIDFont's program does without; leaving them out also spares the
// subsetter most of its work on a large font's cmap.
constexpr const char* kCharacterTables[] = {"cmap", "post", "name"};

FontSubsetter::Result run(const FontFile& font, const std::set<uint32_t>* glyphs,
                          FontSubsetter::Tables tables)
{
    std::string_view bytes = font.bytes();
    Blob blob(hb_blob_create(bytes.data(), static_cast<unsigned>(bytes.size()), HB_MEMORY_MODE_READONLY,
                             nullptr, nullptr));
    Face face(hb_face_create(blob.get(), static_cast<unsigned>(font.faceIndex())));
    Input input(hb_subset_input_create_or_fail());
    if (!input)
        throw FontError("Out of memory subsetting font " + font.postScriptName());
    // Content streams select glyphs by glyph id, which must therefore stay,
    // unless something leads those ids to the subset's glyphs: the charset of a
    // CID-keyed CFF font (its CIDs), or the CIDToGIDMap of a TrueType CIDFont.
    // Kept ids would cost a large CJK font's subset tens of thousands of empty
    // entries, and HarfBuzz the work and memory of making them.
    bool mapped =
        glyphs && tables == FontSubsetter::Tables::ForCidFont && font.format() == FontFile::Format::TrueType;
    unsigned flags =
        HB_SUBSET_FLAGS_NO_HINTING | HB_SUBSET_FLAGS_NOTDEF_OUTLINE | HB_SUBSET_FLAGS_DESUBROUTINIZE;
    if (!font.cidKeyed() && !mapped)
        flags |= HB_SUBSET_FLAGS_RETAIN_GIDS;
    hb_subset_input_set_flags(input.get(), flags);
    hb_set_t* drop = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* table : kDroppedTables)
        hb_set_add(drop, tagOf(table));
    // An OpenType program (CFF outlines, not CID-keyed) stays a complete OpenType font.
    bool openTypeProgram = font.format() == FontFile::Format::OpenTypeCff && !font.cidKeyed();
    bool characters = tables == FontSubsetter::Tables::ForSimpleFont || openTypeProgram;
    if (!characters) {
        for (const char* table : kCharacterTables)
            hb_set_add(drop, tagOf(table));
    }
    hb_set_t* kept = hb_subset_input_glyph_set(input.get());
    hb_set_t* unicodes = hb_subset_input_unicode_set(input.get());
    if (glyphs) {
        // Glyphs are asked for by a character that maps to them where one does:
        // given glyph ids, HarfBuzz reads the font's whole cmap, which costs more
        // than the rest of the subset of a large CJK font. Notdef is always kept.
        std::vector<bool> wanted(static_cast<size_t>(font.glyphCount()));
        std::vector<bool> covered(wanted.size());
        for (uint32_t glyph : *glyphs) {
            if (font.hasGlyph(glyph))
                wanted[glyph] = true;
        }
        wanted[0] = false;
        // A CIDFont needs a character only for HarfBuzz to find the glyph by:
        // the one a text was looked up by serves, without reading the cmap.
        bool complete = !characters;
        if (!characters) {
            for (uint32_t glyph : *glyphs) {
                if (!font.hasGlyph(glyph) || !wanted[glyph])
                    continue;
                if (char32_t code = font.codeFoundFor(glyph)) {
                    hb_set_add(unicodes, code);
                    covered[glyph] = true;
                } else {
                    complete = false;
                }
            }
        }
        // A simple TrueType font is read through its cmap, which keeps every
        // character of the kept glyphs; glyphs shown by id are looked for there.
        if (!complete) {
            for (const auto& [unicode, glyph] : font.unicodeMap()) {
                if (wanted[glyph] && (characters || !covered[glyph])) {
                    hb_set_add(unicodes, unicode);
                    covered[glyph] = true;
                }
            }
        }
        for (size_t glyph = 1; glyph < wanted.size(); ++glyph) {
            if (wanted[glyph] && !covered[glyph])
                hb_set_add(kept, static_cast<hb_codepoint_t>(glyph));
        }
    } else {
        hb_set_add_range(kept, 0, static_cast<hb_codepoint_t>(font.glyphCount() - 1));
        for (const auto& entry : font.unicodeMap())
            hb_set_add(unicodes, entry.first);
    }
    auto failed = [&font] {
        return FontError("Couldn't make a subset of font " + font.postScriptName() + " from font file '" +
                         font.what() + "'");
    };
    Plan plan(hb_subset_plan_create_or_fail(face.get(), input.get()));
    if (!plan)
        throw failed();
    Face result(hb_subset_plan_execute_or_fail(plan.get()));
    if (!result)
        throw failed();
    Blob data(hb_face_reference_blob(result.get()));
    unsigned length = 0;
    const char* start = hb_blob_get_data(data.get(), &length);
    if (!start || length == 0)
        throw failed();
    FontSubsetter::Result out;
    out.data.assign(start, length);
    if (mapped) {
        const hb_map_t* newIds = hb_subset_plan_old_to_new_glyph_mapping(plan.get());
        uint32_t highest = 0;
        for (uint32_t glyph : *glyphs) {
            if (font.hasGlyph(glyph))
                highest = glyph;
        }
        out.newGlyphIds.assign(highest + 1, 0);
        for (uint32_t glyph : *glyphs) {
            hb_codepoint_t id = font.hasGlyph(glyph) ? hb_map_get(newIds, glyph) : HB_MAP_VALUE_INVALID;
            if (id != HB_MAP_VALUE_INVALID)
                out.newGlyphIds[glyph] = static_cast<uint16_t>(id);
        }
    }
    out.program = font.format() == FontFile::Format::TrueType ? FontSubsetter::Program::FontFile2
                                                              : FontSubsetter::Program::OpenTypeCff;
    if (font.cidKeyed()) {
        out.data = FontSubsetter::cffTable(out.data);
        out.program = FontSubsetter::Program::CidFontType0C;
    }
    return out;
}

uint32_t readBig(std::string_view data, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<uint8_t>(data[at + i]);
    return value;
}

}  // namespace

FontSubsetter::Result FontSubsetter::subset(const FontFile& font, const std::set<uint32_t>& glyphs,
                                            Tables tables)
{
    Result result = run(font, &glyphs, tables);
    std::set<uint32_t> withNotdef = glyphs;
    withNotdef.insert(0);
    result.tag = tag(font.postScriptName(), withNotdef);
    return result;
}

FontSubsetter::Result FontSubsetter::whole(const FontFile& font)
{
    return run(font, nullptr, Tables::ForSimpleFont);
}

std::string FontSubsetter::tag(const std::string& fontName, const std::set<uint32_t>& glyphs)
{
    // FNV-1a over the name and the glyph ids.
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (char c : fontName)
        mix(static_cast<uint8_t>(c));
    mix(0);
    for (uint32_t glyph : glyphs) {
        for (int shift = 24; shift >= 0; shift -= 8)
            mix(static_cast<uint8_t>(glyph >> shift));
    }
    std::string out(6, 'A');
    for (char& c : out) {
        c = static_cast<char>('A' + hash % 26);
        hash /= 26;
    }
    return out;
}

std::string FontSubsetter::cffTable(std::string_view openType)
{
    if (openType.size() < 12)
        return "";
    uint32_t tables = readBig(openType, 4, 2);
    for (uint32_t i = 0; i < tables; ++i) {
        size_t record = 12 + 16 * static_cast<size_t>(i);
        if (record + 16 > openType.size())
            return "";
        if (openType.compare(record, 4, "CFF ") != 0)
            continue;
        size_t offset = readBig(openType, record + 8, 4);
        size_t length = readBig(openType, record + 12, 4);
        if (offset > openType.size() || length > openType.size() - offset)
            return "";
        return std::string(openType.substr(offset, length));
    }
    return "";
}

}  // namespace pdfengine
