// Compression of the streams the engine makes itself (FlateDecode, zlib
// format): content streams and font programs. One compressor serves every page
// of a document: setting one up costs more than compressing a page. libdeflate
// compresses whole buffers, which is all these streams ever are, in about half
// zlib's time and a little smaller.
#pragma once

#include <string>
#include <string_view>

struct libdeflate_compressor;

namespace pdfengine {

class Deflater {
public:
    // level: 1 (fastest) to 12 (smallest). Throws std::bad_alloc.
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // The zlib (FlateDecode) form of data. Throws std::bad_alloc when there is
    // no memory for it.
    std::string compress(std::string_view data);

private:
    libdeflate_compressor* compressor_;
};

}  // namespace pdfengine
