#include "pdfengine/Typesetter.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "pdfengine/Engine.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/FontError.h"
#include "pdfengine/FontRegistry.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/TextFit.h"
#include "pdfengine/TextWriter.h"

namespace pdfengine {

namespace {

void checkFontSize(double size)
{
    requireFinite(size, "fontsize");
    if (!(size > 0))
        throw EngineError(err::ArgumentOutOfRange, "Font size must be greater than 0, not " + formatG(size));
}

void checkPositive(const OptionList& options, const char* name)
{
    if (!options.has(name))
        return;
    double value = options.getNumber(name, 1);
    if (!(value > 0))
        throw EngineError(
            err::OptionOutOfRange,
            std::string("Option '") + name + "' must be greater than 0, not '" + formatG(value) + "'");
}

// The spacings and scaling of an option list over those of a state.
void applySpacing(const OptionList& options, TextState& state)
{
    checkPositive(options, "horizscaling");
    state.charSpacing = options.getNumber("charspacing", state.charSpacing);
    state.wordSpacing = options.getNumber("wordspacing", state.wordSpacing);
    state.horizScaling = options.getNumber("horizscaling", state.horizScaling);
}

}  // namespace

int Typesetter::loadFont(std::string_view name, std::string_view encoding, std::string_view optlist)
{
    const OptionList options = OptionList::parse(optlist, options::loadFont);
    return engine_.fonts().load(name, encoding, options, engine_.settings(), engine_.openDocument());
}

void Typesetter::setFont(int font, double size)
{
    LoadedFont& loaded = engine_.fonts().get(font);
    checkFontSize(size);
    FontRegistry::requireVersion(loaded, engine_.document());
    TextState& state = engine_.page().text().wanted;
    state.font = font;
    state.fontSize = size;
}

void Typesetter::setTextOptions(std::string_view optlist)
{
    const OptionList options = OptionList::parse(optlist, options::text);
    Page& page = engine_.page();
    // Everything is checked before anything changes.
    TextState next = page.text().wanted;
    if (options.has("font")) {
        next.font = options.getInteger("font", -1);
        FontRegistry::requireVersion(engine_.fonts().get(next.font), engine_.document());
        if (!options.has("fontsize") && next.fontSize <= 0)
            throw EngineError(err::OptionNeedsOption, "Option 'font' needs option 'fontsize'");
    }
    if (options.has("fontsize")) {
        if (next.font < 0)
            throw EngineError(err::OptionNeedsOption, "Option 'fontsize' needs option 'font'");
        checkPositive(options, "fontsize");
        next.fontSize = options.getNumber("fontsize", next.fontSize);
    }
    applySpacing(options, next);
    next.leading = options.getNumber("leading", next.leading);
    next.rise = options.getNumber("textrise", next.rise);
    next.rendering = options.getInteger("textrendering", next.rendering);
    if (options.has("fillcolor"))
        page.setFillColor(options.getColor("fillcolor"));
    if (options.has("strokecolor"))
        page.setStrokeColor(options.getColor("strokecolor"));
    page.text().wanted = next;
}

void Typesetter::setTextPosition(double x, double y)
{
    requireFinite(x, "x");
    requireFinite(y, "y");
    PageText& text = engine_.page().text();
    text.x = x;
    text.y = y;
}

LoadedFont& Typesetter::fontOf(const TextState& state)
{
    if (state.font < 0 || state.fontSize <= 0)
        throw EngineError(err::NoFont, "No font is set for text (call PDF_setfont first)");
    return engine_.fonts().get(state.font);
}

GlyphRun Typesetter::map(LoadedFont& font, std::string_view text)
{
    try {
        return font.map(text);
    } catch (const FontError& e) {
        throw EngineError(err::BadText, e.what());
    }
}

void Typesetter::noteMissing(const LoadedFont& font, const GlyphRun& run)
{
    if (run.missing == 0)
        return;
    const LoadedFont::Description& d = font.description();
    engine_.noteForTrace(std::to_string(run.missing) + (run.missing == 1 ? " character" : " characters") +
                         " not in font '" + d.name + "' (" + (d.encoding.empty() ? "auto" : d.encoding) +
                         "), shown as notdef");
}

void Typesetter::show(std::string_view text)
{
    Page& page = engine_.page();
    const TextState state = page.text().wanted;
    LoadedFont& font = fontOf(state);
    GlyphRun run = map(font, text);
    noteMissing(font, run);
    if (run.glyphs.empty())
        return;
    QPDFObjectHandle dictionary = engine_.fonts().dictionaryFor(font, engine_.document());
    font.font().use(run);
    PageText& position = page.text();
    TextWriter::show(page, dictionary, state, run, {0, run.glyphs.size()}, {position.x, position.y});
    position.x += LineMeasure::of(run).advance(state);
}

double Typesetter::stringWidth(std::string_view text, int font, double size)
{
    LoadedFont& loaded = engine_.fonts().get(font);
    checkFontSize(size);
    TextState state;
    if (engine_.scope() & (PageScope | PathScope))
        state = engine_.page().text().wanted;
    state.fontSize = size;
    GlyphRun run = map(loaded, text);
    noteMissing(loaded, run);
    return LineMeasure::of(run).width(state);
}

void Typesetter::fitTextLine(const char* text, int length, double x, double y, std::string_view optlist)
{
    requireFinite(x, "x");
    requireFinite(y, "y");
    const OptionList options = OptionList::parse(optlist, options::fitTextline);
    if (length < 0)
        throw EngineError(err::ArgumentOutOfRange, "Text length " + std::to_string(length) + " is negative");
    std::string_view bytes;
    if (text) {
        if (length == 0 && options.has("textlen"))
            length = options.getInteger("textlen", 0);
        bytes = length > 0 ? std::string_view(text, static_cast<size_t>(length)) : std::string_view(text);
    }

    Page& page = engine_.page();
    TextState state = page.text().wanted;
    if (options.has("font")) {
        state.font = options.getInteger("font", -1);
        FontRegistry::requireVersion(engine_.fonts().get(state.font), engine_.document());
    }
    if (options.has("fontsize")) {
        checkPositive(options, "fontsize");
        state.fontSize = options.getNumber("fontsize", state.fontSize);
    }
    applySpacing(options, state);
    LoadedFont& font = fontOf(state);

    LineFitOptions fit;
    if (options.has("boxsize")) {
        std::vector<double> size = options.getNumbers("boxsize");
        fit.boxSize = std::array<double, 2>{size[0], size[1]};
    }
    if (options.has("position"))
        fit.position = positionOption(options);
    if (options.has("margin")) {
        std::vector<double> margin = options.getNumbers("margin");
        fit.margin = {margin[0], margin.size() > 1 ? margin[1] : margin[0]};
    }
    if (options.has("fitmethod"))
        fit.method = *fitMethodFromKeyword(options::textFitMethods[options.getKeyword("fitmethod", 0)]);
    fit.shrinkLimit = options.getNumber("shrinklimit", fit.shrinkLimit);
    double rotate = options.getNumber("rotate", 0);
    bool showBorder = options.getBool("showborder", false);

    GlyphRun run = map(font, bytes);
    noteMissing(font, run);
    PdfFont& pdfFont = font.font();
    LinePlacement placed = fitLine(LineMeasure::of(run), state, pdfFont.ascender(), pdfFont.descender(), fit);
    state.fontSize = placed.fontSize;
    state.horizScaling = placed.horizScaling;

    // The fill colour and the frame last only for this line.
    page.save();
    ContentBuilder& content = page.content();
    if (options.has("fillcolor"))
        page.setFillColor(options.getColor("fillcolor"));
    bool clip = fit.method == FitMethod::Clip && fit.boxSize;
    bool frame = rotate != 0 || clip || showBorder;
    TextWriter::Origin origin{placed.x, placed.y, placed.scaleX, placed.scaleY};
    if (frame) {
        // The reference point becomes the origin, turned by the rotation.
        double angle = rotate * std::numbers::pi / 180;
        double c = std::cos(angle);
        double s = std::sin(angle);
        content.number(c, 6).number(s, 6).number(-s, 6).number(c, 6).number(x).number(y).op("cm");
    } else {
        origin.x += x;
        origin.y += y;
    }
    if (showBorder) {
        if (fit.boxSize)
            content.number(placed.boxX).number(placed.boxY).number(placed.boxWidth).number(placed.boxHeight);
        else
            content.number(placed.x)
                .number(placed.y + pdfFont.descender() / 1000.0 * placed.fontSize * placed.scaleY)
                .number(placed.width)
                .number(placed.height);
        content.op("re").op("S");
    }
    if (clip)
        content.number(placed.boxX)
            .number(placed.boxY)
            .number(placed.boxWidth)
            .number(placed.boxHeight)
            .op("re")
            .op("W")
            .op("n");
    if (!run.glyphs.empty()) {
        QPDFObjectHandle dictionary = engine_.fonts().dictionaryFor(font, engine_.document());
        pdfFont.use(run);
        TextWriter::show(page, dictionary, state, run, {0, run.glyphs.size()}, origin);
    }
    page.restore();
}

}  // namespace pdfengine
