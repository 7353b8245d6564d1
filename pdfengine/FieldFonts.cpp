#include "pdfengine/FieldFonts.h"

#include <algorithm>
#include <cctype>

#include "pdfengine/CidCMap.h"
#include "pdfengine/CidStandardFont.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/FontEncoding.h"
#include "pdfengine/FontObjectWriter.h"
#include "pdfengine/LoadedFont.h"
#include "pdfengine/PdfJapaneseFont.h"
#include "pdfengine/PdfStandardFont.h"
#include "pdfengine/StandardFont.h"

namespace pdfengine {

namespace {

constexpr const char* kLatinSans = "Helvetica";
constexpr const char* kLatinSerif = "Times-Roman";
constexpr const char* kJapaneseSans = "HeiseiKakuGo-W5";
constexpr const char* kJapaneseSerif = "HeiseiMin-W3";

// Whether a font's name suggests serifs (Mincho, Ming, Song, Times, ...).
// Font files carry no dependable style flag, and a name is what users choose by.
bool looksSerif(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto has = [&](std::string_view word) { return lower.find(word) != std::string::npos; };
    if (has("sans") || has("gothic") || has("goth"))
        return false;
    return has("mincho") || has("ming") || has("song") || has("serif") || has("times") ||
           has("\xE6\x98\x8E\xE6\x9C\x9D");  // 明朝
}

bool isJapanese(const std::string& name)
{
    return CidStandardFont::find(name) != nullptr;
}

// Only letters and digits, so the name is a plain PDF name in /DA.
std::string resourceNameOf(std::string_view fontName)
{
    std::string name;
    for (char c : fontName)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

// The glyphs of a run the font has.
GlyphRun present(const GlyphRun& run)
{
    GlyphRun kept;
    for (const GlyphRun::Glyph& g : run.glyphs)
        if (!g.missing)
            kept.add(g);
    return kept;
}

std::unique_ptr<PdfFont> makeFont(const std::string& name)
{
    if (const CidStandardFont* japanese = CidStandardFont::find(name)) {
        auto font = std::make_unique<PdfJapaneseFont>(*japanese, *CidCMap::find("UniJIS-UCS2-H"));
        // The widths of what users type besides full-width characters (whose
        // width is the default): ASCII and half-width katakana.
        std::u32string typed;
        for (char32_t c = 0x20; c < 0x7F; ++c)
            typed += c;
        for (char32_t c = 0xFF61; c <= 0xFF9F; ++c)
            typed += c;
        font->use(present(font->mapUnicode(typed)));
        return font;
    }
    const StandardFont* latin = StandardFont::find(name);
    if (!latin)
        throw EngineError(err::Internal, "No standard font '" + name + "' for form fields");
    auto font = std::make_unique<PdfStandardFont>(*latin, *FontEncoding::find("winansi"));
    // Every code of the encoding, so that the font is written with the whole
    // of WinAnsiEncoding and the widths of every character a user may type.
    std::string codes;
    for (int code = 0x20; code <= 0xFF; ++code)
        codes += static_cast<char>(code);
    font->use(present(font->mapBytes(codes)));
    return font;
}

}  // namespace

FieldFont::FieldFont(std::unique_ptr<PdfFont> font, std::string name, QPDF& pdf)
    : font_(std::move(font)),
      name_(std::move(name)),
      resourceName_(resourceNameOf(name_)),
      dictionary_(pdf.makeIndirectObject(QPDFObjectHandle::newDictionary()))
{
}

void FieldFont::write(QPDF& pdf, Deflater& deflater)
{
    FontObjectWriter::fill(pdf, font_->objects(), dictionary_, deflater);
}

std::string FieldFonts::fontNameFor(LoadedFont* requested)
{
    if (!requested)
        return kLatinSans;
    PdfFont& font = requested->font();
    if (auto* latin = dynamic_cast<PdfStandardFont*>(&font))
        return latin->standardFont().symbolic() ? kLatinSans : latin->standardFont().name();
    if (auto* japanese = dynamic_cast<PdfJapaneseFont*>(&font))
        return japanese->standardFont().name();
    // A font file: the engine embeds it as a subset, so the standard font of
    // its kind and style stands in for it.
    const bool serif = looksSerif(requested->description().name);
    if (font.mapUnicode(U"\u3042\u4E00").missing == 0)  // あ一
        return serif ? kJapaneseSerif : kJapaneseSans;
    return serif ? kLatinSerif : kLatinSans;
}

FieldFont& FieldFonts::choose(LoadedFont* requested, std::u32string_view value, std::string& note)
{
    FieldFont* chosen = &get(fontNameFor(requested));
    const int missing = chosen->font().mapUnicode(value).missing;
    if (missing > 0 && !isJapanese(chosen->name())) {
        const bool serif =
            chosen->name() == kLatinSerif || (requested && looksSerif(requested->description().name));
        FieldFont& japanese = get(serif ? kJapaneseSerif : kJapaneseSans);
        if (japanese.font().mapUnicode(value).missing < missing) {
            note =
                "font '" + chosen->name() + "' lacks characters of the value, field uses " + japanese.name();
            chosen = &japanese;
        }
    }
    return *chosen;
}

FieldFont& FieldFonts::get(const std::string& name)
{
    auto it = fonts_.find(name);
    if (it == fonts_.end())
        it = fonts_.emplace(name, std::make_unique<FieldFont>(makeFont(name), name, pdf_)).first;
    return *it->second;
}

void FieldFonts::write(QPDFObjectHandle fonts, Deflater& deflater)
{
    for (auto& [name, font] : fonts_) {
        if (!font->used())
            continue;
        font->write(pdf_, deflater);
        fonts.replaceKey("/" + font->resourceName(), font->dictionary());
    }
}

}  // namespace pdfengine
