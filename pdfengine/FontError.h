// A font that cannot be had or used: an unreadable, damaged or unsupported font
// file, a font that forbids embedding, an unknown name. The message names the
// font and says why, ready to be reported as the engine's error text.
#pragma once

#include <stdexcept>
#include <string>

namespace pdfengine {

class FontError : public std::runtime_error {
public:
    explicit FontError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pdfengine
