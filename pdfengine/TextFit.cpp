#include "pdfengine/TextFit.h"

#include <algorithm>
#include <cmath>

namespace pdfengine {

LineMeasure LineMeasure::of(const GlyphRun& run, GlyphRange range)
{
    LineMeasure m;
    for (size_t i = range.begin; i < range.end && i < run.glyphs.size(); ++i)
        m.add(run.glyphs[i]);
    return m;
}

LineMeasure LineMeasure::of(const GlyphRun& run)
{
    LineMeasure m;
    m.advances = run.width;
    m.glyphs = static_cast<int>(run.glyphs.size());
    m.spaces = run.spacings;
    return m;
}

void LineMeasure::add(const GlyphRun::Glyph& g)
{
    advances += g.width;
    ++glyphs;
    if (GlyphRun::takesWordSpacing(g))
        ++spaces;
}

double LineMeasure::width(const TextState& state, double fontSize) const
{
    return (advances / 1000 * fontSize + gaps() * state.charSpacing + spaces * state.wordSpacing) *
           state.horizScaling / 100;
}

double LineMeasure::advance(const TextState& state) const
{
    return width(state) + (glyphs > 0 ? state.charSpacing * state.horizScaling / 100 : 0);
}

namespace {

// The font size at which the line is `target` wide at a horizontal scaling, or
// nothing when no positive size gets there (the spacings alone are too wide).
std::optional<double> sizeForWidth(const LineMeasure& m, const TextState& state, double horizScaling,
                                   double target)
{
    if (m.advances <= 0)
        return std::nullopt;
    double unscaled =
        target * 100 / horizScaling - m.gaps() * state.charSpacing - m.spaces * state.wordSpacing;
    double size = unscaled * 1000 / m.advances;
    if (!(size > 0) || !std::isfinite(size))
        return std::nullopt;
    return size;
}

}  // namespace

LinePlacement fitLine(const LineMeasure& measure, const TextState& state, int ascender, int descender,
                      const LineFitOptions& options)
{
    LinePlacement p;
    p.fontSize = state.fontSize;
    p.horizScaling = state.horizScaling;
    double h = options.position[0];
    double v = options.position[1];
    auto lineHeight = [&](double size) { return (ascender - descender) / 1000.0 * size; };
    auto widthAt = [&](double size, double scaling) {
        TextState s = state;
        s.horizScaling = scaling;
        return measure.width(s, size);
    };

    if (options.boxSize) {
        double w = (*options.boxSize)[0];
        double hgt = (*options.boxSize)[1];
        // A box that extends left or down is measured from the reference point.
        if (w < 0)
            h = 100 - h;
        if (hgt < 0)
            v = 100 - v;
        p.boxX = std::min(w, 0.0) + options.margin[0];
        p.boxY = std::min(hgt, 0.0) + options.margin[1];
        p.boxWidth = std::max(std::abs(w) - 2 * options.margin[0], 0.0);
        p.boxHeight = std::max(std::abs(hgt) - 2 * options.margin[1], 0.0);
        // A dimension of 0 (no box height given, or margins as large as the box)
        // does not constrain the line.
        bool fitWidth = p.boxWidth > 0;
        bool fitHeight = p.boxHeight > 0;
        double width = widthAt(p.fontSize, p.horizScaling);
        double height = lineHeight(p.fontSize);
        switch (options.method) {
            case FitMethod::Auto: {
                // Too high: a smaller font. Too wide: narrower glyphs down to the
                // shrink limit, then a smaller font still.
                if (fitHeight && height > p.boxHeight)
                    p.fontSize = p.boxHeight * 1000 / (ascender - descender);
                width = widthAt(p.fontSize, p.horizScaling);
                if (fitWidth && width > p.boxWidth) {
                    double scaling = p.horizScaling * p.boxWidth / width;
                    double limit = p.horizScaling * options.shrinkLimit / 100;
                    if (scaling >= limit) {
                        p.horizScaling = scaling;
                    } else {
                        p.horizScaling = limit;
                        std::optional<double> size = sizeForWidth(measure, state, limit, p.boxWidth);
                        if (size && *size < p.fontSize)
                            p.fontSize = *size;
                        else if (!size)
                            p.scaleX = p.scaleY = p.boxWidth / widthAt(p.fontSize, limit);
                    }
                }
                break;
            }
            case FitMethod::Meet: {
                double scale = 0;
                if (fitWidth && width > 0)
                    scale = p.boxWidth / width;
                if (fitHeight && height > 0)
                    scale = scale > 0 ? std::min(scale, p.boxHeight / height) : p.boxHeight / height;
                if (scale > 0)
                    p.scaleX = p.scaleY = scale;
                break;
            }
            case FitMethod::Entire:
                if (fitWidth && width > 0)
                    p.scaleX = p.boxWidth / width;
                if (fitHeight && height > 0)
                    p.scaleY = p.boxHeight / height;
                break;
            default:
                break;
        }
    }

    p.width = widthAt(p.fontSize, p.horizScaling) * p.scaleX;
    p.height = lineHeight(p.fontSize) * p.scaleY;
    double bottom = descender / 1000.0 * p.fontSize * p.scaleY;
    // The point at `position` of the line's box goes to the same point of the box.
    p.x = p.boxX + p.boxWidth * h / 100 - p.width * h / 100;
    p.y = p.boxY + p.boxHeight * v / 100 - (bottom + p.height * v / 100);
    return p;
}

}  // namespace pdfengine
