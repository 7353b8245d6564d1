#include "pdfengine/FontObjectWriter.h"

#include <qpdf/QPDFObjectHandle.hh>

#include "pdfengine/Deflater.h"

namespace pdfengine {

namespace {

using Handle = QPDFObjectHandle;

Handle name(const std::string& value)
{
    return Handle::newName("/" + value);
}

Handle integers(const std::vector<int>& values)
{
    Handle array = Handle::newArray();
    for (int v : values)
        array.appendItem(Handle::newInteger(v));
    return array;
}

// Font programs and the fonts' other streams are compressed before qpdf sees
// them (qpdf writes a stream that is already FlateDecode as it is), by the
// document's own compressor at the pages' fastest level: a second compressor
// at level 6 would set up half a megabyte of tables to make the 12 KB subset
// of a statement page's kanji 165 bytes (1.4 %) smaller. A program of 256 KB
// and more (a whole font) gets level 6, which saves it 3 to 4 %: there the
// bytes are worth the time.
constexpr size_t largeProgram = 256 * 1024;
constexpr int largeProgramLevel = 6;

Handle stream(QPDF& pdf, const std::string& data, Deflater& deflater)
{
    Handle s = pdf.newStream();
    std::string compressed;
    if (data.size() >= largeProgram)
        compressed = Deflater(largeProgramLevel).compress(data);
    else
        compressed = deflater.compress(data);
    s.replaceStreamData(std::move(compressed), Handle::newName("/FlateDecode"), Handle::newNull());
    return s;
}

// A CIDToGIDMap stream: two bytes, high byte first, per CID from 0 on.
std::string glyphMap(const std::vector<uint16_t>& glyphOfCid)
{
    std::string bytes;
    bytes.reserve(glyphOfCid.size() * 2);
    for (uint16_t glyph : glyphOfCid) {
        bytes.push_back(static_cast<char>(glyph >> 8));
        bytes.push_back(static_cast<char>(glyph & 0xFF));
    }
    return bytes;
}

Handle descriptor(QPDF& pdf, const FontObjects& font, Deflater& deflater)
{
    const FontDescriptor& d = *font.descriptor;
    Handle dict = Handle::newDictionary();
    dict.replaceKey("/Type", name("FontDescriptor"));
    dict.replaceKey("/FontName", name(d.fontName));
    dict.replaceKey("/Flags", Handle::newInteger(d.flags));
    dict.replaceKey("/FontBBox", integers({d.bbox[0], d.bbox[1], d.bbox[2], d.bbox[3]}));
    dict.replaceKey("/ItalicAngle", Handle::newReal(d.italicAngle, 2));
    dict.replaceKey("/Ascent", Handle::newInteger(d.ascent));
    dict.replaceKey("/Descent", Handle::newInteger(d.descent));
    dict.replaceKey("/CapHeight", Handle::newInteger(d.capHeight));
    dict.replaceKey("/XHeight", Handle::newInteger(d.xHeight));
    dict.replaceKey("/StemV", Handle::newInteger(d.stemV));
    if (font.program) {
        Handle file = stream(pdf, font.program->data, deflater);
        if (font.program->program == FontSubsetter::Program::FontFile2) {
            file.getDict().replaceKey("/Length1",
                                      Handle::newInteger(static_cast<long long>(font.program->data.size())));
            dict.replaceKey("/FontFile2", pdf.makeIndirectObject(file));
        } else {
            bool bare = font.program->program == FontSubsetter::Program::CidFontType0C;
            file.getDict().replaceKey("/Subtype", name(bare ? "CIDFontType0C" : "OpenType"));
            dict.replaceKey("/FontFile3", pdf.makeIndirectObject(file));
        }
    }
    return pdf.makeIndirectObject(dict);
}

Handle encodingDictionary(const FontEncoding::Dictionary& e)
{
    Handle dict = Handle::newDictionary();
    dict.replaceKey("/Type", name("Encoding"));
    if (!e.baseEncoding.empty())
        dict.replaceKey("/BaseEncoding", name(e.baseEncoding));
    Handle differences = Handle::newArray();
    int next = -1;
    for (const auto& [code, glyph] : e.differences) {
        if (code != next)
            differences.appendItem(Handle::newInteger(code));
        differences.appendItem(name(glyph));
        next = code + 1;
    }
    dict.replaceKey("/Differences", differences);
    return dict;
}

Handle cidWidths(const std::vector<CidWidthArray::Entry>& entries)
{
    Handle array = Handle::newArray();
    for (const CidWidthArray::Entry& e : entries) {
        array.appendItem(Handle::newInteger(e.first));
        if (e.run) {
            array.appendItem(Handle::newInteger(e.last));
            array.appendItem(Handle::newInteger(e.widths.front()));
        } else {
            array.appendItem(integers(e.widths));
        }
    }
    return array;
}

}  // namespace

QPDFObjectHandle FontObjectWriter::write(QPDF& pdf, const FontObjects& font, Deflater& deflater)
{
    Handle dict = pdf.makeIndirectObject(Handle::newDictionary());
    fill(pdf, font, dict, deflater);
    return dict;
}

void FontObjectWriter::fill(QPDF& pdf, const FontObjects& font, QPDFObjectHandle dict, Deflater& deflater)
{
    dict.replaceKey("/Type", name("Font"));
    dict.replaceKey("/BaseFont", name(font.baseFont));
    if (font.kind == FontObjects::Kind::Type0) {
        dict.replaceKey("/Subtype", name("Type0"));
        dict.replaceKey("/Encoding", name(font.encodingName));
        Handle cid = Handle::newDictionary();
        cid.replaceKey("/Type", name("Font"));
        cid.replaceKey("/Subtype", name(font.cidFontType));
        cid.replaceKey("/BaseFont", name(font.cidBaseFont));
        Handle info = Handle::newDictionary();
        info.replaceKey("/Registry", Handle::newString(font.registry));
        info.replaceKey("/Ordering", Handle::newString(font.ordering));
        info.replaceKey("/Supplement", Handle::newInteger(font.supplement));
        cid.replaceKey("/CIDSystemInfo", info);
        if (font.descriptor)
            cid.replaceKey("/FontDescriptor", descriptor(pdf, font, deflater));
        cid.replaceKey("/DW", Handle::newInteger(font.defaultWidth));
        if (!font.cidWidths.empty())
            cid.replaceKey("/W", cidWidths(font.cidWidths));
        if (!font.cidToGidMap.empty())
            cid.replaceKey("/CIDToGIDMap",
                           pdf.makeIndirectObject(stream(pdf, glyphMap(font.cidToGidMap), deflater)));
        else if (font.cidToGidIdentity)
            cid.replaceKey("/CIDToGIDMap", name("Identity"));
        Handle descendants = Handle::newArray();
        descendants.appendItem(pdf.makeIndirectObject(cid));
        dict.replaceKey("/DescendantFonts", descendants);
    } else {
        dict.replaceKey("/Subtype", name(font.kind == FontObjects::Kind::Type1 ? "Type1" : "TrueType"));
        if (font.encodingDictionary)
            dict.replaceKey("/Encoding", encodingDictionary(*font.encodingDictionary));
        else if (!font.encodingName.empty())
            dict.replaceKey("/Encoding", name(font.encodingName));
        if (!font.widths.empty()) {
            dict.replaceKey("/FirstChar", Handle::newInteger(font.firstChar));
            dict.replaceKey("/LastChar",
                            Handle::newInteger(font.firstChar + static_cast<int>(font.widths.size()) - 1));
            dict.replaceKey("/Widths", integers(font.widths));
        }
        if (font.descriptor)
            dict.replaceKey("/FontDescriptor", descriptor(pdf, font, deflater));
    }
    if (!font.toUnicode.empty())
        dict.replaceKey("/ToUnicode", pdf.makeIndirectObject(stream(pdf, font.toUnicode, deflater)));
}

}  // namespace pdfengine
