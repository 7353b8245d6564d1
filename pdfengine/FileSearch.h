// Where an input file named by a caller is: the name as given (absolute, or
// relative to the current folder), then the name in each SearchPath folder in
// order. Absolute names are only taken as they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pdfengine {

// The first candidate that exists (a file, a folder or anything else, so that
// the caller can say why it cannot be read); nothing when none does.
std::optional<std::string> findInputFile(std::string_view name, const std::vector<std::string>& searchPath);

}  // namespace pdfengine
