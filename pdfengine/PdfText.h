// Texts read from an imported PDF, as UTF-8.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

// Turns the bytes of a PDF name that are not UTF-8 into UTF-8, or gives nothing
// when they are not in its encoding either. The engine passes its code page 932
// decoder, since Japanese tools write Shift-JIS names.
using NameDecoder = std::function<std::optional<std::string>(std::string_view)>;

// Code page 932 (Shift-JIS as Windows reads it) as UTF-8; nothing when the
// bytes are not code page 932 text (a lone lead byte, an unassigned code).
// The engine's NameDecoder.
std::optional<std::string> cp932ToUtf8(std::string_view bytes);

// A PDF text string as UTF-8: UTF-16 big- or little-endian after a byte-order
// mark, UTF-8 after its mark, PDFDocEncoding otherwise.
std::string textStringToUtf8(QPDFObjectHandle string);

// The bytes of a name object without its slash, #xx escapes decoded.
std::string nameBytes(QPDFObjectHandle name);

// Name bytes as UTF-8: unchanged when they are UTF-8 (as PDF recommends for names
// meant as text), else what `legacy` makes of them, else PDFDocEncoding.
std::string nameToUtf8(std::string_view bytes, const NameDecoder& legacy);

// A name or text string as UTF-8, as keywords and texts of block properties may
// be stored either way; nothing for other objects.
std::optional<std::string> nameOrTextToUtf8(QPDFObjectHandle object, const NameDecoder& legacy);

}  // namespace pdfengine
