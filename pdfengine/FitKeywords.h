// The keywords of fitting a page or block into a box, shared by the placement of
// imported pages and the reading of block definitions.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace pdfengine {

// auto is kept apart from meet so that a caller can tell them apart; both place
// the same way.
enum class FitMethod { NoFit, Meet, Slice, Entire, Clip, Auto };

// Where the top of the placed object points.
enum class Orientation { North, East, South, West };

// The keyword of a fit method (nofit meet slice entire clip auto), compared without case.
std::optional<FitMethod> fitMethodFromKeyword(std::string_view keyword);

// The keyword of an orientation (north east south west), compared without case.
std::optional<Orientation> orientationFromKeyword(std::string_view keyword);

// A position {h v} in percent of the box from its lower left corner. Each item is
// a number or a keyword: left, center, right for h; bottom, center, top for v. One
// item alone means both, except that a keyword names its own axis and centres the
// other (left = {0 50}, top = {50 100}). Nothing when the items make no position.
std::optional<std::array<double, 2>> positionFromItems(const std::vector<std::string_view>& items);

class OptionList;

// The position option of a fitting call (fit_pdi_page, fit_textline); an
// EngineError naming the value when its items make no position.
std::array<double, 2> positionOption(const OptionList& list);

}  // namespace pdfengine
