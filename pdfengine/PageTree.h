// The pages of an imported PDF in document order, found by walking its page
// tree. The walk is iterative and visits every /Pages node at most once, so
// loops, shared subtrees and very deep trees in damaged files end in an error
// rather than a hang or a stack overflow.
#pragma once

#include <vector>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

struct PageNode {
    QPDFObjectHandle dict;
    // The inheritable attributes the nearest /Pages ancestor gives this page, null
    // where none does; the page's own entries take precedence over these.
    QPDFObjectHandle resources;
    QPDFObjectHandle mediaBox;
    QPDFObjectHandle cropBox;
    QPDFObjectHandle rotate;

    // An inheritable attribute as it applies to the page: its own entry, else the
    // inherited one; null when neither exists. name is "/Resources", "/MediaBox",
    // "/CropBox" or "/Rotate".
    QPDFObjectHandle attribute(const char* name) const;
};

class PageTree {
public:
    // Real trees are a handful of levels deep; even a tree of two kids per
    // node would hold more pages than exist at a fraction of this.
    static constexpr size_t maxDepth = 256;

    // Walks the tree below the catalog's /Pages. Kids that are not dictionaries
    // are skipped, as viewers do. Throws PdiError (Damaged) when there is no
    // catalog or page tree, a /Pages node is reached twice, or the tree is
    // deeper than maxDepth (qpdf walks it recursively when objects are copied
    // from the document); the file name is for the messages.
    static std::vector<PageNode> walk(QPDF& pdf, const std::string& fileName);
};

}  // namespace pdfengine
