// The fonts form fields show their text in. A viewer types new text into a
// field with the font its /DA names, so that font must hold every character a
// user may type, not only those of the initial value: a subset the engine
// embeds for page text cannot serve. Fields therefore use fonts that viewers
// bring themselves, complete and not embedded: the Latin standard fonts with
// WinAnsiEncoding and the Japanese standard CID fonts with UniJIS-UCS2-H.
// The font handle given for a field chooses among them (fontNameFor).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "pdfengine/Deflater.h"
#include "pdfengine/GlyphRun.h"
#include "pdfengine/PdfFont.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

class LoadedFont;

class FieldFont {
public:
    FieldFont(std::unique_ptr<PdfFont> font, std::string name, QPDF& pdf);

    // The standard font's name ("Helvetica", "HeiseiKakuGo-W5").
    const std::string& name() const { return name_; }
    // The key of the font in /DR and in the appearance streams' resources.
    const std::string& resourceName() const { return resourceName_; }
    PdfFont& font() { return *font_; }
    // The font dictionary, an indirect object filled by write().
    const QPDFObjectHandle& dictionary() const { return dictionary_; }
    // A field shows the run in this font: it goes into /DR.
    void use(const GlyphRun& run)
    {
        font_->use(run);
        used_ = true;
    }
    bool used() const { return used_; }
    void write(QPDF& pdf, Deflater& deflater);

private:
    std::unique_ptr<PdfFont> font_;
    std::string name_;
    std::string resourceName_;
    QPDFObjectHandle dictionary_;
    bool used_ = false;
};

class FieldFonts {
public:
    explicit FieldFonts(QPDF& pdf) : pdf_(pdf) {}

    // The field font for a font handle (null: none given): its own standard
    // font; for a font file the Japanese standard font of its style when it has
    // Japanese characters, else the Latin one. A font that lacks characters
    // of `value` is replaced by the Japanese standard font of its style when
    // that lacks fewer; `note` then says so.
    FieldFont& choose(LoadedFont* requested, std::u32string_view value, std::string& note);

    // The standard font's name that stands for a font handle.
    static std::string fontNameFor(LoadedFont* requested);

    // Fills the dictionaries of the fonts fields use and adds them to `fonts` (the
    // /Font dictionary of /DR) under their resource names; `deflater` compresses
    // their streams.
    void write(QPDFObjectHandle fonts, Deflater& deflater);

private:
    FieldFont& get(const std::string& name);

    QPDF& pdf_;
    std::map<std::string, std::unique_ptr<FieldFont>> fonts_;
};

}  // namespace pdfengine
