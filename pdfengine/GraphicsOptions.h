// The option list of PDF_set_graphics_option as values. Renderers send the same
// few lists (a line type's cap, join and dash) for every line they draw, so each
// list is parsed once per handle and kept (up to `kept` different ones); the
// values are still checked against the page each time they are applied.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pdfengine/Color.h"

namespace pdfengine {

class Page;

struct GraphicsOptions {
    std::optional<std::vector<double>> dashArray;
    std::optional<double> dashPhase;
    std::optional<double> lineWidth;
    std::optional<int> lineCap;
    std::optional<int> lineJoin;
    std::optional<double> miterLimit;
    std::optional<Color> fillColor;
    std::optional<Color> strokeColor;

    // Throws EngineError as OptionList::parse does.
    static GraphicsOptions parse(std::string_view text);
    // Sets the options on the page; a value the page refuses throws before
    // anything changed.
    void apply(Page& page) const;
};

class GraphicsOptionCache {
public:
    static constexpr size_t kept = 32;

    // The parsed form of text; a list that does not parse throws every time
    // and is not kept.
    const GraphicsOptions& get(std::string_view text);

private:
    std::vector<std::pair<std::string, GraphicsOptions>> lists_;
    size_t next_ = 0;  // the entry replaced when the cache is full
};

}  // namespace pdfengine
