#include "pdfengine/CidStandardFont.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "pdfengine/FontFile.h"
#include "pdfengine/cid_table.h"

namespace pdfengine {

namespace {

// The width of every CID by style (gothic, mincho), made by find() and never
// freed, like the CMaps' tables.
using WidthTable = std::array<uint16_t, 0x10000>;
WidthTable widthTables[2];
std::once_flag widthTablesMade[2];

}  // namespace

const CidStandardFont* CidStandardFont::find(std::string_view name)
{
    static const CidStandardFont all[] = {
        CidStandardFont("HeiseiKakuGo-W5", false, 500),
        CidStandardFont("HeiseiMin-W3", true, 300),
        CidStandardFont("KozMinPro-Regular", true, 400),
        CidStandardFont("KozGoPro-Medium", false, 500),
    };
    for (const CidStandardFont& font : all) {
        if (name == font.name_) {
            font.makeWidths();
            return &font;
        }
    }
    return nullptr;
}

// Readers draw these fonts with whatever Japanese font they have, placed by our
// widths; the values follow the IPAex designs the widths come from, with the
// ideographic em box (880 above, 120 below the baseline) as ascent and descent.
FontDescriptor CidStandardFont::descriptor() const
{
    const ciddata::StyleRecord& style = ciddata::kStyles[mincho_ ? 1 : 0];
    FontDescriptor d;
    d.fontName = name_;
    d.flags = FontDescriptor::kSymbolic | (mincho_ ? FontDescriptor::kSerif : 0);
    std::copy(style.bbox, style.bbox + 4, d.bbox);
    d.italicAngle = 0;
    d.ascent = 880;
    d.descent = -120;
    d.capHeight = style.capHeight;
    d.xHeight = style.xHeight;
    d.stemV = FontFile::stemVForWeight(weight_);
    return d;
}

void CidStandardFont::makeWidths() const
{
    WidthTable& widths = widthTables[styleIndex()];
    std::call_once(widthTablesMade[styleIndex()], [&] {
        widths.fill(kDefaultWidth);
        const ciddata::StyleRecord& style = ciddata::kStyles[styleIndex()];
        for (uint16_t i = 0; i < style.widthCount; ++i) {
            const ciddata::CodeRange16& run = style.widths[i];
            std::fill(widths.begin() + run.first, widths.begin() + run.last + 1, run.cid);
        }
    });
}

int CidStandardFont::width(uint16_t cid) const
{
    // find() made the table before it gave this font out.
    return widthTables[styleIndex()][cid];
}

int CidStandardFont::searchWidths(uint16_t cid) const
{
    const ciddata::StyleRecord& style = ciddata::kStyles[mincho_ ? 1 : 0];
    const ciddata::CodeRange16* begin = style.widths;
    const ciddata::CodeRange16* end = begin + style.widthCount;
    const ciddata::CodeRange16* found = std::upper_bound(
        begin, end, cid, [](uint16_t c, const ciddata::CodeRange16& r) { return c < r.first; });
    if (found != begin && cid <= (found - 1)->last)
        return (found - 1)->cid;
    return kDefaultWidth;
}

}  // namespace pdfengine
