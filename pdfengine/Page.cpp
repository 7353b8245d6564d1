#include "pdfengine/Page.h"

#include <cmath>

#include "pdfengine/EngineError.h"
#include "pdfengine/NumberFormat.h"

namespace pdfengine {

namespace {

constexpr double minPageSize = 1;
constexpr double maxPageSize = 14400;

void checkPageDimension(double value, const char* what)
{
    if (!(value >= minPageSize && value <= maxPageSize))
        throw EngineError(err::PageSizeOutOfRange, std::string("Page ") + what + " " + formatG(value) +
                                                       " is out of range (1 to 14400)");
}

void checkComponent(double value)
{
    if (!(value >= 0 && value <= 1))
        throw EngineError(err::ArgumentOutOfRange,
                          "Colour component " + formatG(value) + " is out of range (0 to 1)");
}

}  // namespace

void requireFinite(double value, const char* argument)
{
    if (!std::isfinite(value))
        throw EngineError(err::NotFinite, std::string("Argument '") + argument +
                                              "' is not a finite number (" + formatG(value) + ")");
}

Page::Page(double width, double height, ResourceRegistry& registry)
    : width_(width), height_(height), registry_(registry), stack_(1)
{
    checkSize(width, height);
}

void Page::checkSize(double width, double height)
{
    checkPageDimension(width, "width");
    checkPageDimension(height, "height");
}

void Page::setSize(double width, double height)
{
    checkSize(width, height);
    width_ = width;
    height_ = height;
}

std::string Page::useResource(ResourceType type, const QPDFObjectHandle& object)
{
    size_t index = 0;
    const std::string& name = registry_.nameFor(type, object, index);
    resources_.add(index);
    return name;
}

const QPDFMatrix* Page::placement(int pdiPage) const
{
    auto it = placements_.find(pdiPage);
    return it == placements_.end() ? nullptr : &it->second;
}

void Page::setLineWidth(double width)
{
    requireFinite(width, "width");
    if (width < 0)
        throw EngineError(err::ArgumentOutOfRange, "Line width must be at least 0, not " + formatG(width));
    if (width != current().lineWidth) {
        current().lineWidth = width;
        content_.number(width).op("w");
    }
}

void Page::setLineCap(int cap)
{
    if (cap < 0 || cap > 2)
        throw EngineError(err::ArgumentOutOfRange, "Line cap must be 0, 1 or 2, not " + std::to_string(cap));
    if (cap != current().lineCap) {
        current().lineCap = cap;
        content_.integer(cap).op("J");
    }
}

void Page::setLineJoin(int join)
{
    if (join < 0 || join > 2)
        throw EngineError(err::ArgumentOutOfRange,
                          "Line join must be 0, 1 or 2, not " + std::to_string(join));
    if (join != current().lineJoin) {
        current().lineJoin = join;
        content_.integer(join).op("j");
    }
}

void Page::setMiterLimit(double limit)
{
    requireFinite(limit, "miterlimit");
    if (limit < 1)
        throw EngineError(err::ArgumentOutOfRange, "Miter limit must be at least 1, not " + formatG(limit));
    if (limit != current().miterLimit) {
        current().miterLimit = limit;
        content_.number(limit).op("M");
    }
}

void Page::setDash(const std::vector<double>& array, double phase)
{
    bool allZero = true;
    for (double length : array) {
        requireFinite(length, "dasharray");
        if (length < 0)
            throw EngineError(err::ArgumentOutOfRange,
                              "Dash lengths must be at least 0, not " + formatG(length));
        allZero = allZero && length == 0;
    }
    if (!array.empty() && allZero)
        throw EngineError(err::ArgumentOutOfRange, "Dash lengths must not all be 0");
    requireFinite(phase, "dashphase");
    if (phase < 0)
        throw EngineError(err::ArgumentOutOfRange, "Dash phase must be at least 0, not " + formatG(phase));
    if (array == current().dashArray && phase == current().dashPhase)
        return;
    current().dashArray = array;
    current().dashPhase = phase;
    content_.raw("[");
    for (double length : array)
        content_.number(length);
    content_.raw("]").number(phase).op("d");
}

void Page::writeColor(const Color& color, bool stroke)
{
    content_.color(color, stroke);
}

void Page::setFillColor(const Color& color)
{
    for (int i = 0; i < Color::componentCount(color.space); ++i)
        checkComponent(color.components[static_cast<size_t>(i)]);
    if (color != current().fillColor) {
        current().fillColor = color;
        writeColor(color, false);
    }
}

void Page::setStrokeColor(const Color& color)
{
    for (int i = 0; i < Color::componentCount(color.space); ++i)
        checkComponent(color.components[static_cast<size_t>(i)]);
    if (color != current().strokeColor) {
        current().strokeColor = color;
        writeColor(color, true);
    }
}

void Page::moveTo(double x, double y)
{
    requireFinite(x, "x");
    requireFinite(y, "y");
    content_.number(x).number(y).op("m");
    inPath_ = true;
}

void Page::lineTo(double x, double y)
{
    requireFinite(x, "x");
    requireFinite(y, "y");
    content_.number(x).number(y).op("l");
}

void Page::rect(double x, double y, double width, double height)
{
    requireFinite(x, "x");
    requireFinite(y, "y");
    requireFinite(width, "width");
    requireFinite(height, "height");
    content_.number(x).number(y).number(width).number(height).op("re");
    inPath_ = true;
}

void Page::closePath()
{
    content_.op("h");
}

void Page::paint(const char* op)
{
    content_.op(op);
    inPath_ = false;
}

void Page::stroke()
{
    paint("S");
}

void Page::fill()
{
    paint("f");
}

void Page::fillStroke()
{
    paint("B");
}

void Page::save()
{
    // Copy first: push_back of an element of the vector itself may reallocate.
    GraphicsState copy = current();
    stack_.push_back(std::move(copy));
    content_.op("q");
}

void Page::restore()
{
    if (stack_.size() < 2)
        throw EngineError(err::RestoreWithoutSave, "PDF_restore has no matching PDF_save on this page");
    stack_.pop_back();
    content_.op("Q");
}
}  // namespace pdfengine
