// One block as the INI file describes it, its values checked and already in
// the form the block dictionary stores them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "pdfengine/Qpdf.h"

namespace quillonblocks {

struct BlockRequest {
    std::string section;  // the section's name as written (Shift-JIS), for messages
    int page = 0;         // 1-based
    std::string name;     // UTF-8
    std::string subtype;  // "/Text", "/Image" or "/PDF"
    // The rectangle in tenths of a millimetre, from the top left corner of
    // the page as it is displayed.
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    // The optional properties: key (with its slash) and value.
    std::vector<std::pair<std::string, QPDFObjectHandle>> properties;
};

}  // namespace quillonblocks
