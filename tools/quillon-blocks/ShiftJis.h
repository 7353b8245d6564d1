// Shift-JIS (code page 932) texts of the INI file as the PDF needs them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillonblocks {

// UTF-8 of Shift-JIS bytes, converted as Windows does; nothing when the bytes
// are not valid Shift-JIS.
std::optional<std::string> shiftJisToUtf8(std::string_view bytes);

}  // namespace quillonblocks
