// Finding the files the engine reads (imported PDFs, fonts, images) by the
// names callers give.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pdfengine {

// An absolute name as it is; a relative one as it is when it names an
// existing file from the current folder, else the first folder of searchPath
// that has it, else as it is (so that the error names what was asked for).
std::string findInputFile(std::string_view name, const std::vector<std::string>& searchPath);

}  // namespace pdfengine
