// Profile files that begin with a byte-order mark are Unicode; their names and values
// are handed out in code page 932, as Windows does.
#pragma once

#include <string>
#include <string_view>

namespace platform::profile_detail {

// CP932 bytes for a sequence of UTF-16 code units, as Windows hands out the texts of
// a Unicode profile: best-fit substitutes where code page 932 has them, "?" for every
// other unit it lacks.
std::string utf16ToCp932(std::u16string_view units);

// When bytes begin with a UTF-8 or UTF-16LE byte-order mark, replaces them by their
// text in CP932 (without the mark) and returns true; otherwise leaves them alone.
bool convertMarkedText(std::string& bytes);

}  // namespace platform::profile_detail
