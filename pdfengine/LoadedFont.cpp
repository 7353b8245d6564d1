#include "pdfengine/LoadedFont.h"

#include "pdfengine/FontEncoding.h"
#include "pdfengine/TextDecoder.h"

namespace pdfengine {

void FontInstance::reset()
{
    if (dictionary_.isInitialized()) {
        font_ = make_();
        dictionary_ = QPDFObjectHandle();
    }
}

GlyphRun LoadedFont::map(std::string_view text)
{
    if (std::optional<ByteOrderMark> mark = byteOrderMark(text)) {
        decodeMarked(text, *mark, characters_);
        return font().mapUnicode(characters_);
    }
    switch (description_.input) {
        case Input::FontCodes:
            return font().mapBytes(text);
        case Input::EightBit:
            decodeEightBit(text, *description_.eightBit, characters_);
            break;
        case Input::ShiftJis:
            decodeShiftJis(text, characters_);
            break;
        case Input::Utf16LE:
        case Input::Utf16BE:
            decodeUtf16(text, description_.input == Input::Utf16BE, characters_);
            break;
        case Input::GlyphIds:
            glyphs_.clear();
            for (size_t pos = 0; pos < text.size(); pos += 2) {
                // An odd last byte is half a glyph id: it shows notdef.
                uint16_t glyph = pos + 1 < text.size()
                                     ? static_cast<uint16_t>(static_cast<uint8_t>(text[pos]) |
                                                             (static_cast<uint8_t>(text[pos + 1]) << 8))
                                     : 0;
                glyphs_.push_back(glyph);
            }
            return font().mapGlyphIds(glyphs_);
    }
    return font().mapUnicode(characters_);
}

}  // namespace pdfengine
