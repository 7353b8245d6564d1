#include "tools/quillon-blocks/ShiftJis.h"

#include <vector>

#include "pdfengine/Qpdf.h"
#include "platform/cp932.h"

namespace quillonblocks {

std::optional<std::string> shiftJisToUtf8(std::string_view bytes)
{
    if (bytes.empty())
        return std::string();
    const int length = static_cast<int>(bytes.size());
    std::vector<char16_t> units(bytes.size());
    const int count = platform::cp932MultiByteToWideChar(platform::mbErrInvalidChars, bytes.data(), length,
                                                         units.data(), static_cast<int>(units.size()));
    if (count <= 0)
        return std::nullopt;
    std::string utf8;
    // Code page 932 decodes to the Basic Multilingual Plane only: no surrogates.
    for (int i = 0; i < count; ++i)
        utf8 += QUtil::toUTF8(units[static_cast<size_t>(i)]);
    return utf8;
}

}  // namespace quillonblocks
