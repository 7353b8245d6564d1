// A page's content stream as it is built: operands and operators appended as
// text, numbers formatted without the locale. Drawing code (paths, text,
// placed XObjects) writes through it; Page owns one per page.
#pragma once

#include <string>
#include <string_view>

#include "pdfengine/Color.h"

namespace pdfengine {

class ContentBuilder {
public:
    // "value " with at most `decimals` digits after the point. Three places of a
    // point are a few hundredths of a device pixel at 2,400 dpi, and a colour
    // component of three places still names each of the 256 steps of 8 bits;
    // each further place costs about 4 % of a compressed page of text.
    // Matrices that scale or rotate ask for six.
    ContentBuilder& number(double value, int decimals = 3);
    ContentBuilder& integer(long long value);
    // "/name "; the name must consist of regular characters (resource names do).
    ContentBuilder& name(std::string_view name);
    // A string operand: literal "(...)" with the delimiters escaped.
    ContentBuilder& literalString(std::string_view bytes);
    // A string operand in hexadecimal "<...>", for binary text (two-byte codes).
    ContentBuilder& hexString(std::string_view bytes);
    // Operand text appended as it is, followed by a blank.
    ContentBuilder& raw(std::string_view text);
    // The colour operator that sets the fill or stroke colour ("0 g", "1 0 0 RG").
    ContentBuilder& color(const Color& color, bool stroke);
    // The operator, ending the line: "m\n".
    ContentBuilder& op(std::string_view op);

    const std::string& data() const { return data_; }
    bool empty() const { return data_.empty(); }
    std::string take() { return std::move(data_); }

private:
    std::string data_;
};

}  // namespace pdfengine
