// How deep qpdf will recurse to copy an object of an imported document into an
// output document. qpdf follows references recursively, so a hostile file with
// a long chain of references could overflow the stack; the import code measures
// the chain first, without recursion, and refuses what is too deep.
#pragma once

#include <cstddef>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

// The deepest level a depth-first walk from root reaches, each array item,
// dictionary value and stream dictionary one level below its container, each
// indirect object entered once, page and page tree objects not entered (qpdf
// does not copy them along). Stops early and returns a value above limit once
// it passes limit.
size_t referenceDepth(QPDFObjectHandle root, size_t limit);

}  // namespace pdfengine
