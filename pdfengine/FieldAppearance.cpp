#include "pdfengine/FieldAppearance.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "pdfengine/ContentBuilder.h"
#include "pdfengine/TextFlow.h"

namespace pdfengine {

namespace {

// Line spacing of multi-line fields, times the font size.
constexpr double kLineSpacing = 1.15;

void circle(ContentBuilder& out, double cx, double cy, double r)
{
    const double k = 0.5523 * r;  // control point distance of a quarter circle
    out.number(cx + r).number(cy).op("m");
    out.number(cx + r).number(cy + k).number(cx + k).number(cy + r).number(cx).number(cy + r).op("c");
    out.number(cx - k).number(cy + r).number(cx - r).number(cy + k).number(cx - r).number(cy).op("c");
    out.number(cx - r).number(cy - k).number(cx - k).number(cy - r).number(cx).number(cy - r).op("c");
    out.number(cx + k).number(cy - r).number(cx + r).number(cy - k).number(cx + r).number(cy).op("c");
    out.op("h");
}

// The colour a pressed button's background darkens to.
Color darker(const std::optional<Color>& background)
{
    if (!background)
        return Color{ColorSpace::Gray, {0.75, 0, 0, 0}};
    Color c = *background;
    if (c.space == ColorSpace::Cmyk)
        c.components[3] = std::min(1.0, c.components[3] + 0.25);
    else
        for (double& component : c.components)
            component *= 0.75;
    return c;
}

void drawFrame(ContentBuilder& out, const FieldFrame& frame, bool down)
{
    const double w = frame.width;
    const double h = frame.height;
    const double r = std::min(w, h) / 2;
    const std::optional<Color> background =
        down ? std::optional<Color>(darker(frame.background)) : frame.background;
    if (background) {
        out.color(*background, false);
        if (frame.round)
            circle(out, w / 2, h / 2, r);
        else
            out.number(0).number(0).number(w).number(h).op("re");
        out.op("f");
    }
    if (frame.border) {
        out.color(*frame.border, true);
        out.number(kFieldBorderWidth).op("w");
        const double half = kFieldBorderWidth / 2;
        if (frame.round)
            circle(out, w / 2, h / 2, std::max(0.0, r - half));
        else
            out.number(half)
                .number(half)
                .number(std::max(0.0, w - kFieldBorderWidth))
                .number(std::max(0.0, h - kFieldBorderWidth))
                .op("re");
        out.op("S");
    }
}

// The symbol of a button, drawn in the square of side `s` centred in the
// widget; points are given in that square's unit coordinates.
void drawSymbol(ContentBuilder& out, ButtonStyle style, double w, double h, const Color& color)
{
    const double s = std::min(w, h);
    const double x0 = (w - s) / 2;
    const double y0 = (h - s) / 2;
    auto point = [&](double u, double v, const char* op) {
        out.number(x0 + u * s).number(y0 + v * s).op(op);
    };
    using Points = std::vector<std::pair<double, double>>;
    auto path = [&](const Points& points) {
        for (size_t i = 0; i < points.size(); ++i)
            point(points[i].first, points[i].second, i == 0 ? "m" : "l");
    };
    auto polygon = [&](const Points& points) {
        path(points);
        out.op("h").op("f");
    };
    // Thick lines with round ends and corners.
    auto strokes = [&](std::initializer_list<Points> lines) {
        out.number(0.12 * s).op("w").integer(1).op("J").integer(1).op("j");
        for (const Points& line : lines)
            path(line);
        out.op("S");
    };
    out.color(color, false).color(color, true);
    switch (style) {
        case ButtonStyle::Check:
            strokes({{{0.22, 0.52}, {0.42, 0.3}, {0.78, 0.74}}});
            break;
        case ButtonStyle::Cross:
            strokes({{{0.27, 0.27}, {0.73, 0.73}}, {{0.27, 0.73}, {0.73, 0.27}}});
            break;
        case ButtonStyle::Circle:
            circle(out, w / 2, h / 2, 0.25 * s);
            out.op("f");
            break;
        case ButtonStyle::Diamond:
            polygon({{0.5, 0.2}, {0.8, 0.5}, {0.5, 0.8}, {0.2, 0.5}});
            break;
        case ButtonStyle::Square:
            out.number(x0 + 0.27 * s)
                .number(y0 + 0.27 * s)
                .number(0.46 * s)
                .number(0.46 * s)
                .op("re")
                .op("f");
            break;
        case ButtonStyle::Star: {
            std::vector<std::pair<double, double>> points;
            for (int i = 0; i < 10; ++i) {
                const double radius = i % 2 == 0 ? 0.34 : 0.14;
                const double angle = std::numbers::pi / 2 + i * std::numbers::pi / 5;
                points.emplace_back(0.5 + radius * std::cos(angle), 0.48 + radius * std::sin(angle));
            }
            polygon(points);
            break;
        }
    }
}

// Byte offsets of each glyph's code in run.codes, and one past the last.
std::vector<size_t> codeOffsets(const GlyphRun& run)
{
    std::vector<size_t> offsets;
    offsets.reserve(run.glyphs.size() + 1);
    size_t offset = 0;
    for (const GlyphRun::Glyph& g : run.glyphs) {
        offsets.push_back(offset);
        offset += static_cast<size_t>(g.codeLength);
    }
    offsets.push_back(offset);
    return offsets;
}

}  // namespace

std::string FieldAppearance::text(const TextLook& look, const GlyphRun& run, double& usedSize)
{
    ContentBuilder out;
    drawFrame(out, look.frame, false);
    const double boxWidth = std::max(0.0, look.frame.width - 2 * kFieldPadding);
    const double boxHeight = std::max(0.0, look.frame.height - 2 * kFieldPadding);
    const double em = (look.ascender - look.descender) / 1000.0;

    TextState state;
    std::vector<TextFlow::Line> lines;
    double size = look.fontSize;
    double lineHeight = 0;
    if (look.multiline) {
        state.fontSize = size > 0 ? size : kAutoFontSizeLimit;
        if (size > 0) {
            lines = TextFlow::breakLines(run, state, boxWidth);
        } else {
            TextFlow::Box box{boxWidth,       boxHeight,    look.ascender,
                              look.descender, kLineSpacing, kAutoFontSizeMin};
            TextFlow::Result fitted = TextFlow::fit(run, state, box);
            lines = std::move(fitted.lines);
            size = fitted.fontSize;
        }
        lineHeight = size * kLineSpacing;
    } else {
        lines.push_back({{0, run.glyphs.size()}, LineMeasure::of(run)});
        if (size <= 0) {
            size = std::min(kAutoFontSizeLimit, em > 0 ? boxHeight / em : kAutoFontSizeLimit);
            if (run.width > 0)
                size = std::min(size, boxWidth * 1000 / run.width);
            size = std::max(size, kAutoFontSizeMin);
        }
    }
    usedSize = size;

    const std::vector<size_t> offsets = codeOffsets(run);
    const double inset = kFieldBorderWidth;
    out.name("Tx").op("BMC").op("q");
    out.number(inset)
        .number(inset)
        .number(std::max(0.0, look.frame.width - 2 * inset))
        .number(std::max(0.0, look.frame.height - 2 * inset))
        .op("re")
        .op("W")
        .op("n");
    out.op("BT").name(look.fontResource).number(size).op("Tf").color(look.color, false);
    double baseline = look.multiline
                          ? look.frame.height - kFieldPadding - look.ascender * size / 1000
                          : kFieldPadding + (boxHeight - em * size) / 2 - look.descender * size / 1000;
    for (const TextFlow::Line& line : lines) {
        const double width = line.measure.width(state, size);
        double x = kFieldPadding;
        if (look.alignment == FieldAlignment::Center)
            x += (boxWidth - width) / 2;
        else if (look.alignment == FieldAlignment::Right)
            x += boxWidth - width;
        const size_t begin = offsets[line.glyphs.begin];
        const size_t end = offsets[line.glyphs.end];
        if (end > begin) {
            out.integer(1).integer(0).integer(0).integer(1).number(x).number(baseline).op("Tm");
            out.hexString(std::string_view(run.codes).substr(begin, end - begin)).op("Tj");
        }
        baseline -= lineHeight;
    }
    out.op("ET").op("Q").op("EMC");
    return out.take();
}

std::string FieldAppearance::button(const FieldFrame& frame, ButtonStyle style, const Color& color, bool on,
                                    bool down)
{
    ContentBuilder out;
    drawFrame(out, frame, down);
    if (on) {
        out.op("q");
        drawSymbol(out, style, frame.width, frame.height, color);
        out.op("Q");
    }
    return out.take();
}

char FieldAppearance::caption(ButtonStyle style)
{
    // ZapfDingbats: a20 check, a71 circle, a24 cross, a75 diamond, a73 square, a35 star.
    static constexpr char captions[] = {'4', 'l', '8', 'u', 'n', 'H'};
    return captions[static_cast<int>(style)];
}

}  // namespace pdfengine
