#include "pdfengine/BlockFiller.h"

#include <cmath>

#include "pdfengine/Engine.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/FontRegistry.h"
#include "pdfengine/Matrix.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/PageBlocks.h"
#include "pdfengine/PdfText.h"
#include "pdfengine/StandardFont.h"
#include "pdfengine/TextEncoding.h"
#include "pdfengine/TextFit.h"
#include "pdfengine/TextFlow.h"
#include "pdfengine/TextWriter.h"
#include "pdfengine/Typesetter.h"

namespace pdfengine {

namespace {

// A block that names no font shows its text in a font that every reader has
// and that covers Japanese and Latin text alike.
constexpr std::string_view fallbackFont = "HeiseiKakuGo-W5";
constexpr double defaultFontSize = 12;
// Coordinates of a block rectangle beyond this are no page's.
constexpr double largestCoordinate = 1e6;
// The largest size, spacing, margin, scaling or line width a block may ask for.
constexpr double limit = options::blockLimit;

std::string inQuotes(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

Color toColor(const BlockColor& c)
{
    Color color;
    color.space = c.space == BlockColor::Space::Gray  ? ColorSpace::Gray
                  : c.space == BlockColor::Space::Rgb ? ColorSpace::Rgb
                                                      : ColorSpace::Cmyk;
    for (size_t i = 0; i < c.components.size() && i < color.components.size(); ++i)
        color.components[i] = c.components[i];
    return color;
}

std::optional<Color> colorOf(const OptionList& options, const char* name,
                             const std::optional<BlockColor>& stored)
{
    if (options.has(name))
        return options.getColor(name);
    if (stored)
        return toColor(*stored);
    return std::nullopt;
}

std::string kindOf(const BlockDefinition& block)
{
    switch (block.type) {
        case BlockType::Text:
            return "a text block";
        case BlockType::Image:
            return "an image block";
        case BlockType::Pdf:
            return "a PDF block";
        case BlockType::Other:
            break;
    }
    return block.subtype.empty() ? "a block without /Subtype"
                                 : "a block of subtype " + inQuotes(block.subtype);
}

// Restores the graphics state saved by the constructor, also when drawing fails
// half way, so that the page's q and Q stay matched.
class SavedState {
public:
    explicit SavedState(Page& page) : page_(page) { page_.save(); }
    ~SavedState() { page_.restore(); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    Page& page_;
};

}  // namespace

BlockFrame BlockFrame::of(const PdfRect& rect, double rotate, const QPDFMatrix& placement)
{
    double turn = std::fmod(rotate, 180.0);
    if (turn < 0)
        turn += 180;
    const bool quarter = turn == 90;
    BlockFrame frame;
    frame.width = quarter ? rect.height() : rect.width();
    frame.height = quarter ? rect.width() : rect.height();
    QPDFMatrix m(1, 0, 0, 1, -frame.width / 2, -frame.height / 2);
    m = then(m, rotation(rotate));
    m = then(m, QPDFMatrix(1, 0, 0, 1, (rect.llx + rect.urx) / 2, (rect.lly + rect.ury) / 2));
    frame.toPage = then(m, placement);
    return frame;
}

BlockFiller::BlockFiller(Engine& engine)
    : engine_(engine), textLists_(options::fillTextblock), imageLists_(options::fillImageblock)
{
}

const OptionList& BlockFiller::ParsedLists::get(std::string_view optlist)
{
    if (auto it = lists_.find(optlist); it != lists_.end())
        return it->second;
    OptionList parsed = OptionList::parse(optlist, table_);
    // A bound for callers whose every list differs.
    if (lists_.size() >= 256)
        lists_.clear();
    return lists_.emplace(std::string(optlist), std::move(parsed)).first->second;
}

const BlockDefinition& BlockFiller::find(int page, std::string_view name, BlockType wanted)
{
    foundBlock_ = nullptr;
    const PageBlocks* blocks = nullptr;
    try {
        blocks = &engine_.imports().blocks(page);
    } catch (const EngineError& e) {
        // The caller passes -1 for a page it could not open, or for none;
        // the block is then not filled, as for a missing block.
        if (page != -1)
            throw;
        throw EngineError(e.code(), "Couldn't fill block " + inQuotes(name) + ": " + e.what(), true);
    }
    // Callers with Japanese block names may give them in code page 932.
    const BlockDefinition* block = blocks->findAsGiven(name);
    if (!block) {
        std::string known;
        size_t listed = 0;
        for (const BlockDefinition& b : blocks->all()) {
            if (listed++ == 10) {
                known += ", ...";
                break;
            }
            known += (known.empty() ? "" : ", ") + inQuotes(b.name);
        }
        throw EngineError(err::BlockNotFound,
                          "Block " + inQuotes(name) + " not found on " +
                              engine_.imports().describePage(page) +
                              (known.empty() ? " (the page has no blocks)" : " (its blocks: " + known + ")"),
                          true);
    }
    foundBlock_ = block;
    foundPage_ = page;
    if (block->type != wanted)
        throw EngineError(err::BlockWrongType,
                          "Block " + inQuotes(block->name) + " on " + engine_.imports().describePage(page) +
                              " is " + kindOf(*block) + ", not " +
                              (wanted == BlockType::Text ? "a text block" : "an image block"),
                          true);
    for (const std::string& problem : block->problems)
        if (!problem.starts_with("Rect:"))
            engine_.noteForTrace(describedBlock() + ": " + problem + ", ignored");
    const std::optional<PdfRect>& rect = block->rect;
    const auto unusable = [&](const std::string& why) {
        return EngineError(
            err::BlockUnusable,
            "Block " + inQuotes(block->name) + " on " + engine_.imports().describePage(page) + " " + why,
            true);
    };
    if (!rect)
        throw unusable("has no rectangle (/Rect)");
    for (double value : {rect->llx, rect->lly, rect->urx, rect->ury})
        if (std::abs(value) > largestCoordinate)
            throw unusable("has a rectangle beyond " + formatG(largestCoordinate) + " points (" +
                           formatG(value) + ")");
    if (rect->empty())
        throw unusable("has no area (" + formatG(rect->width()) + " x " + formatG(rect->height()) + ")");
    return *block;
}

std::string BlockFiller::describedBlock() const
{
    return "block " + inQuotes(foundBlock_ ? foundBlock_->name : "") + " on " +
           engine_.imports().describePage(foundPage_);
}

std::optional<double> BlockFiller::bounded(const std::optional<double>& value, const char* property,
                                           double low)
{
    if (!value || (*value >= low && *value <= limit))
        return value;
    engine_.noteForTrace(describedBlock() + ": " + property + " " + formatG(*value) + " is out of range (" +
                         formatG(low) + " to " + formatG(limit) + "), ignored");
    return std::nullopt;
}

BlockFiller::Look BlockFiller::look(const BlockDefinition& block, const OptionList& options, Look look)
{
    if (options.has("position"))
        look.position = positionOption(options);
    else if (block.position)
        look.position = *block.position;
    if (options.has("fitmethod"))
        look.fitMethod = *fitMethodFromKeyword(options.getString("fitmethod"));
    else if (block.fitMethod)
        look.fitMethod = *block.fitMethod;
    if (options.has("margin")) {
        std::vector<double> margin = options.getNumbers("margin");
        look.margin = {margin[0], margin.size() > 1 ? margin[1] : margin[0]};
    } else if (block.margin) {
        auto h = bounded((*block.margin)[0], "margin");
        auto v = bounded((*block.margin)[1], "margin");
        if (h && v)
            look.margin = {*h, *v};
    }
    look.rotate = options.getNumber("rotate", block.rotate.value_or(0));
    look.background = colorOf(options, "bgcolor", block.bgColor);
    look.border = colorOf(options, "bordercolor", block.borderColor);
    look.lineWidth = options.getNumber("linewidth", bounded(block.lineWidth, "linewidth").value_or(1));
    return look;
}

BlockFrame BlockFiller::frame(const BlockDefinition& block, int page, double rotate)
{
    const QPDFMatrix* placement = engine_.page().placement(page);
    if (!placement)
        engine_.noteForTrace("the imported page was not placed on this page; " + describedBlock() +
                             " is filled in the page's own coordinates");
    return BlockFrame::of(*block.rect, rotate, placement ? *placement : QPDFMatrix());
}

template <typename Body>
void BlockFiller::draw(const BlockFrame& frame, const Look& look, Body&& body)
{
    Page& page = engine_.page();
    SavedState saved(page);
    writeMatrix(page.content(), frame.toPage);
    if (look.background) {
        page.setFillColor(*look.background);
        page.rect(0, 0, frame.width, frame.height);
        page.fill();
    }
    body(page);
    if (look.border && look.lineWidth > 0) {
        page.setStrokeColor(*look.border);
        page.setLineWidth(look.lineWidth);
        page.rect(0, 0, frame.width, frame.height);
        page.stroke();
    }
}

int BlockFiller::loadFont(const BlockDefinition& block, const OptionList& options)
{
    FontRegistry& fonts = engine_.fonts();
    if (options.has("font")) {
        const int handle = options.getInteger("font", -1);
        try {
            fonts.get(handle);
        } catch (const EngineError& e) {
            // A font the caller failed to load is a font that cannot be had.
            if (handle != -1)
                throw;
            throw EngineError(e.code(), "Couldn't fill " + describedBlock() + ": " + e.what(), true);
        }
        FontRegistry::requireVersion(fonts.get(handle), engine_.document());
        return handle;
    }
    std::string name;
    if (options.has("fontname"))
        name = options.getString("fontname");
    else if (block.fontName)
        name = *block.fontName;
    else {
        name = fallbackFont;
        engine_.noteForTrace(describedBlock() + " names no font; " + std::string(fallbackFont) + " is used");
    }
    const Settings& settings = engine_.settings();
    std::string encoding;
    if (options.has("encoding"))
        encoding = options.getString("encoding");
    else
        encoding = StandardFont::find(name) && !settings.fontOutlines.contains(name) ? "winansi" : "unicode";
    const OptionList none;
    try {
        return fonts.load(name, encoding, none, settings, engine_.openDocument());
    } catch (const EngineError& first) {
        if (!first.recoverable())
            throw;
        // A font that cannot take the encoding the text is given in shows it
        // read as Unicode, in the font's own encoding.
        if (!equalsNoCase(encoding, "unicode")) {
            try {
                const int handle = fonts.load(name, "unicode", none, settings, engine_.openDocument());
                engine_.noteForTrace("font " + inQuotes(name) + " cannot take encoding " +
                                     inQuotes(encoding) + "; the text is read as Unicode");
                return handle;
            } catch (const EngineError&) {
            }
        }
        throw EngineError(first.code(), "Couldn't fill " + describedBlock() + ": " + first.what(), true);
    }
}

std::string BlockFiller::textOf(const BlockDefinition& block, const OptionList& options, const char* text,
                                int length)
{
    const std::string_view bytes = Typesetter::textBytes(text, length, options);
    // A text of nothing but a byte-order mark is empty too.
    const bool empty = bytes.empty() || bytes == "\xFF\xFE" || bytes == "\xFE\xFF" || bytes == utf8Bom;
    if (!empty)
        return std::string(bytes);
    std::optional<std::string> fallback;
    if (options.has("defaulttext")) {
        fallback = hypertextToUtf8(options.getString("defaulttext"), engine_.settings().hypertextEncoding,
                                   options.utf8());
        if (!fallback)
            throw EngineError(err::BadOptionText, "Option 'defaulttext' is not valid UTF-8");
    } else {
        fallback = block.defaultText;
    }
    if (!fallback || fallback->empty())
        return {};
    return std::string(utf8Bom) + *fallback;
}

int BlockFiller::fillText(int pdiPage, std::string_view name, const char* text, int length,
                          std::string_view optlist)
{
    const OptionList& options = textLists_.get(optlist);
    if (options.has("fontsize") && !(options.getNumber("fontsize", 1) > 0))
        throw EngineError(err::OptionOutOfRange, "Option 'fontsize' must be greater than 0, not '" +
                                                     std::string(options.getString("fontsize")) + "'");
    const BlockDefinition& block = find(pdiPage, name, BlockType::Text);
    const Look look = this->look(block, options, Look{});
    const std::string shown = textOf(block, options, text, length);

    TextState state;
    state.font = loadFont(block, options);
    state.fontSize =
        options.getNumber("fontsize", bounded(block.fontSize, "fontsize").value_or(defaultFontSize));
    state.charSpacing =
        options.getNumber("charspacing", bounded(block.charSpacing, "charspacing", -limit).value_or(0));
    state.wordSpacing =
        options.getNumber("wordspacing", bounded(block.wordSpacing, "wordspacing", -limit).value_or(0));
    state.horizScaling =
        options.getNumber("horizscaling", bounded(block.horizScaling, "horizscaling", 1).value_or(100));
    const bool flow = options.getBool("textflow", block.textFlow.value_or(false));
    const Color fill = colorOf(options, "fillcolor", block.fillColor).value_or(Color{});
    const std::optional<Color> stroke = colorOf(options, "strokecolor", block.strokeColor);

    Typesetter typesetter(engine_);
    LoadedFont& font = engine_.fonts().get(state.font);
    GlyphRun run = typesetter.map(font, shown);
    typesetter.noteMissing(font, run);
    PdfFont& pdfFont = font.font();
    const int ascender = pdfFont.ascender();
    const int descender = pdfFont.descender();
    const BlockFrame frame = this->frame(block, pdiPage, look.rotate);
    QPDFObjectHandle dictionary;
    if (!run.glyphs.empty())
        dictionary = engine_.fonts().dictionaryFor(font, engine_.document());

    const double boxWidth = std::max(frame.width - 2 * look.margin[0], 0.0);
    const double boxHeight = std::max(frame.height - 2 * look.margin[1], 0.0);
    const double h = look.position[0];
    const double v = look.position[1];
    const bool clip = look.fitMethod == FitMethod::Clip;
    draw(frame, look, [&](Page& page) {
        if (run.glyphs.empty())
            return;
        page.setFillColor(fill);
        if (stroke)
            page.setStrokeColor(*stroke);
        if (clip)
            page.content()
                .number(look.margin[0])
                .number(look.margin[1])
                .number(boxWidth)
                .number(boxHeight)
                .op("re")
                .op("W")
                .op("n");
        pdfFont.use(run);
        if (!flow) {
            LineFitOptions fit;
            fit.boxSize = std::array<double, 2>{frame.width, frame.height};
            fit.position = look.position;
            fit.margin = look.margin;
            // Text has no slice: it is placed as it is, like nofit.
            fit.method = look.fitMethod == FitMethod::Slice ? FitMethod::NoFit : look.fitMethod;
            fit.shrinkLimit = options.getNumber("shrinklimit", fit.shrinkLimit);
            const LinePlacement placed = fitLine(LineMeasure::of(run), state, ascender, descender, fit);
            TextState line = state;
            line.fontSize = placed.fontSize;
            line.horizScaling = placed.horizScaling;
            TextWriter::show(page, dictionary, line, run, {0, run.glyphs.size()},
                             {placed.x, placed.y, placed.scaleX, placed.scaleY});
            return;
        }
        TextFlow::Box box;
        box.width = boxWidth;
        box.height = boxHeight;
        box.ascender = ascender;
        box.descender = descender;
        const bool shrink = look.fitMethod == FitMethod::Auto || look.fitMethod == FitMethod::Meet ||
                            look.fitMethod == FitMethod::Entire;
        TextFlow::Result flowed;
        if (shrink) {
            flowed = TextFlow::fit(run, state, box);
            if (!flowed.fits)
                engine_.noteForTrace("the text does not fit " + describedBlock() + " even at " +
                                     formatG(flowed.fontSize) + " points");
        } else {
            flowed.fontSize = state.fontSize;
            flowed.lines = TextFlow::breakLines(run, state, box.width);
            flowed.lineHeight = state.fontSize * box.lineSpacing;
        }
        TextState lineState = state;
        lineState.fontSize = flowed.fontSize;
        const double lineBox = (ascender - descender) / 1000.0 * flowed.fontSize;
        const double total =
            flowed.lines.empty() ? 0 : (flowed.lines.size() - 1) * flowed.lineHeight + lineBox;
        // The lines as one block, placed by the vertical position; each line
        // by the horizontal one.
        const double top = look.margin[1] + (boxHeight - total) * v / 100 + total;
        double baseline = top - ascender / 1000.0 * flowed.fontSize;
        for (const TextFlow::Line& line : flowed.lines) {
            if (line.glyphs.end > line.glyphs.begin) {
                const double x = look.margin[0] + (boxWidth - line.measure.width(lineState)) * h / 100;
                TextWriter::show(page, dictionary, lineState, run, line.glyphs, {x, baseline});
            }
            baseline -= flowed.lineHeight;
        }
    });
    return 1;
}

int BlockFiller::fillImage(int pdiPage, std::string_view name, int image, std::string_view optlist)
{
    const OptionList& options = imageLists_.get(optlist);
    const BlockDefinition& block = find(pdiPage, name, BlockType::Image);
    Look defaults;
    defaults.fitMethod = FitMethod::Meet;
    defaults.position = {50, 50};
    const Look look = this->look(block, options, defaults);

    ImageRegistry& images = engine_.images();
    // An image loaded here for the block is closed again when it is placed.
    struct Loaded {
        ImageRegistry& images;
        int handle = -1;
        ~Loaded()
        {
            if (handle != -1)
                images.close(handle);
        }
    } loaded{images};
    if (image == -1) {
        std::string fallback;
        if (options.has("defaultimage"))
            fallback = options.getString("defaultimage");
        else if (block.defaultImage)
            fallback = *block.defaultImage;
        try {
            if (fallback.empty())
                images.image(-1);
            loaded.handle = images.load("auto", fallback, engine_.settings().searchPath);
        } catch (const EngineError& e) {
            throw EngineError(e.code(), "Couldn't fill " + describedBlock() + ": " + e.what(), true);
        }
        image = loaded.handle;
    } else {
        images.image(image);
    }

    const BlockFrame frame = this->frame(block, pdiPage, look.rotate);
    const PdfRect box{look.margin[0], look.margin[1], frame.width - look.margin[0],
                      frame.height - look.margin[1]};
    if (box.empty())
        throw EngineError(err::BlockUnusable,
                          "The margins of " + describedBlock() + " leave no room for the image", true);
    ImageFit fit;
    fit.fitMethod = look.fitMethod;
    fit.position = look.position;
    Document& document = engine_.document();
    draw(frame, look, [&](Page&) { images.place(document, image, box, fit); });
    return 1;
}

}  // namespace pdfengine
