// Texts read from an imported PDF, as UTF-8.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pdfengine/PdiQpdf.h"

namespace pdfengine {

// Turns the bytes of a PDF name that are not UTF-8 into UTF-8, or gives nothing
// when they are not in its encoding either. The engine passes its code page 932
// decoder, since Japanese tools write Shift-JIS names.
using NameDecoder = std::function<std::optional<std::string>(std::string_view)>;

// A PDF text string as UTF-8: UTF-16 big- or little-endian after a byte-order
// mark, UTF-8 after its mark, PDFDocEncoding otherwise.
std::string textStringToUtf8(QPDFObjectHandle string);

// The bytes of a name object without its slash, #xx escapes decoded.
std::string nameBytes(QPDFObjectHandle name);

// Name bytes as UTF-8: unchanged when they are UTF-8 (as PDF recommends for names
// meant as text), else what `legacy` makes of them, else PDFDocEncoding.
std::string nameToUtf8(std::string_view bytes, const NameDecoder& legacy);

// Whether the bytes are well-formed UTF-8 (shortest forms, no surrogates).
bool isUtf8(std::string_view bytes);

// A name or text string as UTF-8, as keywords and texts of block properties may
// be stored either way; nothing for other objects.
std::optional<std::string> nameOrTextToUtf8(QPDFObjectHandle object, const NameDecoder& legacy);

// Numbers as text, independent of the C locale. `shortest` gives the fewest
// digits that read back as the same double (612, 0.1, 1e+21); `fixed` at most
// `decimals` digits after the point, trailing zeros dropped, never "-0".
std::string shortestNumberText(double value);
std::string fixedNumberText(double value, int decimals);

}  // namespace pdfengine
