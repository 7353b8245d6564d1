#include "pdfengine/FitKeywords.h"

#include "pdfengine/EngineError.h"
#include "pdfengine/OptionList.h"

namespace pdfengine {

namespace {

std::optional<double> number(std::string_view text)
{
    double value = 0;
    return parseNumber(text, value) ? std::optional<double>(value) : std::nullopt;
}

enum class Axis { Horizontal, Vertical, Either };

struct Keyword {
    const char* word;
    Axis axis;
    double percent;
};

constexpr Keyword positionKeywords[] = {
    {"left", Axis::Horizontal, 0}, {"right", Axis::Horizontal, 100}, {"bottom", Axis::Vertical, 0},
    {"top", Axis::Vertical, 100},  {"center", Axis::Either, 50},
};

const Keyword* positionKeyword(std::string_view word)
{
    for (const Keyword& k : positionKeywords)
        if (equalsNoCase(word, k.word))
            return &k;
    return nullptr;
}

// One item on a known axis: a number, or a keyword that fits the axis.
std::optional<double> axisValue(std::string_view item, Axis axis)
{
    if (auto n = number(item))
        return n;
    const Keyword* k = positionKeyword(item);
    if (k && (k->axis == axis || k->axis == Axis::Either))
        return k->percent;
    return std::nullopt;
}

}  // namespace

std::optional<FitMethod> fitMethodFromKeyword(std::string_view keyword)
{
    static constexpr std::pair<const char*, FitMethod> table[] = {
        {"nofit", FitMethod::NoFit},   {"meet", FitMethod::Meet}, {"slice", FitMethod::Slice},
        {"entire", FitMethod::Entire}, {"clip", FitMethod::Clip}, {"auto", FitMethod::Auto},
    };
    for (const auto& [word, method] : table)
        if (equalsNoCase(keyword, word))
            return method;
    return std::nullopt;
}

std::optional<Orientation> orientationFromKeyword(std::string_view keyword)
{
    static constexpr std::pair<const char*, Orientation> table[] = {
        {"north", Orientation::North},
        {"east", Orientation::East},
        {"south", Orientation::South},
        {"west", Orientation::West},
    };
    for (const auto& [word, orientation] : table)
        if (equalsNoCase(keyword, word))
            return orientation;
    return std::nullopt;
}

std::optional<std::array<double, 2>> positionFromItems(const std::vector<std::string_view>& items)
{
    if (items.size() == 1) {
        if (auto n = number(items[0]))
            return std::array<double, 2>{*n, *n};
        const Keyword* k = positionKeyword(items[0]);
        if (!k)
            return std::nullopt;
        if (k->axis == Axis::Horizontal)
            return std::array<double, 2>{k->percent, 50};
        if (k->axis == Axis::Vertical)
            return std::array<double, 2>{50, k->percent};
        return std::array<double, 2>{50, 50};
    }
    if (items.size() == 2) {
        auto h = axisValue(items[0], Axis::Horizontal);
        auto v = axisValue(items[1], Axis::Vertical);
        if (h && v)
            return std::array<double, 2>{*h, *v};
    }
    return std::nullopt;
}

std::array<double, 2> positionOption(const OptionList& list)
{
    std::optional<std::array<double, 2>> position = positionFromItems(list.getItems("position"));
    if (!position)
        throw EngineError(err::BadOptionValue,
                          "Option 'position' expects one or two numbers or keywords (left center right, "
                          "bottom center top), not '" +
                              std::string(list.getString("position")) + "'");
    return *position;
}

}  // namespace pdfengine
