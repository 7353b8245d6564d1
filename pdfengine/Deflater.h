// zlib compression of content streams, reusing one compressor for every page
// of a document: setting a compressor up costs more than compressing a page.
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
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace pdfengine
