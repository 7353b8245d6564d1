// One font handle: a font with the encoding it was loaded with, how the bytes of
// the texts shown in it are read, and the font it shows them in. A PdfFont
// remembers what a document showed, so every document gets a fresh one; the font
// file behind it is read once for the handle's whole life.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdfengine/GlyphRun.h"
#include "pdfengine/PdfFont.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

class FontEncoding;

// A font as a document writes it. Handles that differ only in how texts are read
// (IPAexGothic with unicode and with cp932) share one, so a document that uses
// both embeds one subset.
class FontInstance {
public:
    using Factory = std::function<std::unique_ptr<PdfFont>()>;

    // Throws FontError when `make` does.
    explicit FontInstance(Factory make) : make_(std::move(make)), font_(make_()) {}

    PdfFont& font() { return *font_; }
    // The font dictionary in the open document, or a null handle when the
    // document has not used the font yet.
    QPDFObjectHandle& dictionary() { return dictionary_; }
    // A new document: a fresh font that has shown nothing, no dictionary.
    void reset();

private:
    Factory make_;
    std::unique_ptr<PdfFont> font_;
    QPDFObjectHandle dictionary_;
};

class LoadedFont {
public:
    // How text bytes are read (a text that begins with a byte-order mark is
    // Unicode whatever this says).
    enum class Input {
        FontCodes,  // the font's own codes: 8-bit codes, or the codes of its CMap
        EightBit,   // an 8-bit encoding the font cannot write itself: read as Unicode
        ShiftJis,   // code page 932
        Utf16LE,    // the unicode encoding
        Utf16BE,    // the UniJIS CMaps' codes for fonts that have no such CMap
        GlyphIds    // 16-bit glyph ids, little-endian
    };

    struct Description {
        std::string name;      // as the caller named it
        std::string encoding;  // as the caller gave it
        Input input = Input::FontCodes;
        const FontEncoding* eightBit = nullptr;  // for Input::EightBit
        // A font program that only PDF 1.6 can embed (OpenType with CFF outlines).
        bool needsPdf16 = false;
        // What is written: handles with the same font share its instance.
        std::string font;
    };

    LoadedFont(Description description, std::shared_ptr<FontInstance> instance)
        : description_(std::move(description)), instance_(std::move(instance))
    {
    }

    const Description& description() const { return description_; }
    FontInstance& instance() { return *instance_; }
    PdfFont& font() { return instance_->font(); }

    // The text as the font shows it.
    GlyphRun map(std::string_view text);

private:
    Description description_;
    std::shared_ptr<FontInstance> instance_;
    std::u32string characters_;     // scratch space of map()
    std::vector<uint16_t> glyphs_;  // likewise
};

}  // namespace pdfengine
