// zlib compression of content streams, reusing compressors for every page of a
// document: setting one up costs more than compressing a page. Small streams
// go to a compressor with a small hash table, because zlib clears the whole
// table on each reset and for a page of paths that clearing costs more than
// the compression itself; the output for such streams is the same.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pdfengine {

class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // The zlib (FlateDecode) form of data. Throws std::bad_alloc when zlib
    // cannot get memory.
    std::string compress(std::string_view data);

private:
    struct Compressor;

    int level_;
    std::unique_ptr<Compressor> small_;
    std::unique_ptr<Compressor> large_;
};

}  // namespace pdfengine
