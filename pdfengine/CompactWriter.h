// Writes an unencrypted document of PDF 1.5 or later as qpdf's writer does when
// it generates object streams: every object the trailer's /Root and /Info reach,
// numbered in the order they are reached, the objects other than streams packed
// into compressed object streams, and a cross-reference stream at the end.
//
// qpdf's writer spends most of a long document's write on machinery this case
// does not need: it writes each object stream twice to learn where its objects
// start, passes every token through a chain of pipelines and copies each
// dictionary into a map before writing it. Here each object is written once,
// straight into its buffer. Encrypted documents and those for readers older
// than object streams are still written by qpdf.
#pragma once

#include <string>

class Pipeline;
class QPDF;

namespace pdfengine {

class Deflater;

// Writes pdf to out and finishes out. version is the header's ("1.7"), id the
// 16 bytes of the file identifier. Streams without a filter (other than
// metadata) are compressed with streamDeflater, as qpdf's writer compresses
// them. Throws what reading a stream's data throws (qpdf's exceptions,
// std::bad_alloc), and std::logic_error for an object PDF cannot hold.
void writeCompact(QPDF& pdf, Pipeline& out, const std::string& version, const std::string& id,
                  Deflater& streamDeflater);

}  // namespace pdfengine
