#include "pdfengine/GraphicsOptions.h"

#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/Page.h"

namespace pdfengine {

namespace {

template <typename T, typename Get>
std::optional<T> optional(const OptionList& list, std::string_view name, Get get)
{
    if (!list.has(name))
        return std::nullopt;
    return get(name);
}

}  // namespace

GraphicsOptions GraphicsOptions::parse(std::string_view text)
{
    const OptionList list = OptionList::parse(text, options::graphics);
    auto number = [&](std::string_view name) { return list.getNumber(name, 0); };
    auto integer = [&](std::string_view name) { return list.getInteger(name, 0); };
    auto color = [&](std::string_view name) { return list.getColor(name); };
    GraphicsOptions o;
    o.dashArray = optional<std::vector<double>>(list, "dasharray",
                                                [&](std::string_view name) { return list.getNumbers(name); });
    o.dashPhase = optional<double>(list, "dashphase", number);
    o.lineWidth = optional<double>(list, "linewidth", number);
    o.lineCap = optional<int>(list, "linecap", integer);
    o.lineJoin = optional<int>(list, "linejoin", integer);
    o.miterLimit = optional<double>(list, "miterlimit", number);
    o.fillColor = optional<Color>(list, "fillcolor", color);
    o.strokeColor = optional<Color>(list, "strokecolor", color);
    return o;
}

void GraphicsOptions::apply(Page& page) const
{
    // The dash is the one value parse() cannot check completely; it is set
    // first so that a failing call writes nothing. A phase alone keeps the
    // array; an array alone starts at phase 0.
    if (dashArray || dashPhase)
        page.setDash(dashArray ? *dashArray : page.state().dashArray, dashPhase   ? *dashPhase
                                                                      : dashArray ? 0
                                                                                  : page.state().dashPhase);
    if (lineWidth)
        page.setLineWidth(*lineWidth);
    if (lineCap)
        page.setLineCap(*lineCap);
    if (lineJoin)
        page.setLineJoin(*lineJoin);
    if (miterLimit)
        page.setMiterLimit(*miterLimit);
    if (fillColor)
        page.setFillColor(*fillColor);
    if (strokeColor)
        page.setStrokeColor(*strokeColor);
}

const GraphicsOptions& GraphicsOptionCache::get(std::string_view text)
{
    for (const auto& [known, options] : lists_) {
        if (known == text)
            return options;
    }
    GraphicsOptions parsed = GraphicsOptions::parse(text);
    if (lists_.size() < kept) {
        lists_.emplace_back(std::string(text), std::move(parsed));
        return lists_.back().second;
    }
    auto& slot = lists_[next_];
    next_ = (next_ + 1) % kept;
    slot = {std::string(text), std::move(parsed)};
    return slot.second;
}

}  // namespace pdfengine
