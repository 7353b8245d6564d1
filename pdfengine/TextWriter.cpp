#include "pdfengine/TextWriter.h"

#include "pdfengine/TextDecoder.h"

namespace pdfengine {

namespace {

// The text state operators whose values differ from what the content has.
void writeState(Page& page, const QPDFObjectHandle& fontDictionary, const TextState& wanted)
{
    TextState& written = page.text().written;
    ContentBuilder& content = page.content();
    if (written.font != wanted.font || written.fontSize != wanted.fontSize) {
        content.name(page.useResource(ResourceType::Font, fontDictionary)).number(wanted.fontSize).op("Tf");
        written.font = wanted.font;
        written.fontSize = wanted.fontSize;
    }
    auto update = [&](double TextState::*field, const char* op) {
        if (written.*field != wanted.*field) {
            content.number(wanted.*field).op(op);
            written.*field = wanted.*field;
        }
    };
    update(&TextState::charSpacing, "Tc");
    update(&TextState::wordSpacing, "Tw");
    update(&TextState::horizScaling, "Tz");
    update(&TextState::leading, "TL");
    update(&TextState::rise, "Ts");
    if (written.rendering != wanted.rendering) {
        content.integer(wanted.rendering).op("Tr");
        written.rendering = wanted.rendering;
    }
}

}  // namespace

void TextWriter::show(Page& page, const QPDFObjectHandle& fontDictionary, const TextState& state,
                      const GlyphRun& run, GlyphRange range, const Origin& origin)
{
    ContentBuilder& content = page.content();
    // A text with four-byte codes (characters beyond the BMP in UniJIS-UTF16-H)
    // cannot be described by a ToUnicode map that readers understand: it says
    // what it is as a marked-content span with an ActualText.
    bool actualText = false;
    for (size_t i = range.begin; i < range.end && !actualText; ++i)
        actualText = run.glyphs[i].codeLength > 2;
    if (actualText) {
        std::string utf16 = "\xFE\xFF";
        for (size_t i = range.begin; i < range.end; ++i)
            appendUtf16BE(utf16, run.glyphs[i].unicode);
        content.name("Span").raw("<</ActualText").hexString(utf16).raw(">>").op("BDC");
    }
    content.op("BT");
    writeState(page, fontDictionary, state);
    if (origin.scaleX != 1 || origin.scaleY != 1)
        content.number(origin.scaleX, 6)
            .integer(0)
            .integer(0)
            .number(origin.scaleY, 6)
            .number(origin.x)
            .number(origin.y)
            .op("Tm");
    else
        content.number(origin.x).number(origin.y).op("Td");

    size_t begin = 0;
    for (size_t i = 0; i < range.begin; ++i)
        begin += static_cast<size_t>(run.glyphs[i].codeLength);
    bool multiByte = false;
    bool widenedSpaces = false;
    size_t end = begin;
    for (size_t i = range.begin; i < range.end; ++i) {
        const GlyphRun::Glyph& g = run.glyphs[i];
        end += static_cast<size_t>(g.codeLength);
        multiByte = multiByte || g.codeLength > 1;
        widenedSpaces = widenedSpaces || (g.codeLength > 1 && g.unicode == U' ');
    }
    std::string_view codes = std::string_view(run.codes).substr(begin, end - begin);
    auto string = [&](std::string_view bytes) {
        if (multiByte)
            content.hexString(bytes);
        else
            content.literalString(bytes);
    };
    if (!widenedSpaces || state.wordSpacing == 0 || state.fontSize == 0) {
        string(codes);
        content.op("Tj");
    } else {
        // TJ moves the next glyph left by n/1000 of the font size: a negative n
        // after each space adds the word spacing.
        content.raw("[");
        double adjustment = -state.wordSpacing * 1000 / state.fontSize;
        size_t start = 0;
        size_t at = 0;
        for (size_t i = range.begin; i < range.end; ++i) {
            const GlyphRun::Glyph& g = run.glyphs[i];
            at += static_cast<size_t>(g.codeLength);
            if (g.codeLength > 1 && g.unicode == U' ') {
                string(codes.substr(start, at - start));
                content.number(adjustment);
                start = at;
            }
        }
        if (start < codes.size())
            string(codes.substr(start));
        content.raw("]").op("TJ");
    }
    content.op("ET");
    if (actualText)
        content.op("EMC");
}

}  // namespace pdfengine
