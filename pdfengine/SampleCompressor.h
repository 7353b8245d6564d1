// Compresses image samples with zlib as they are decoded, row by row, so that a
// large image is never held uncompressed in memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace pdfengine {

class SampleCompressor {
public:
    SampleCompressor();
    ~SampleCompressor();
    SampleCompressor(const SampleCompressor&) = delete;
    SampleCompressor& operator=(const SampleCompressor&) = delete;

    // Throws std::bad_alloc when zlib cannot get memory.
    void write(const unsigned char* data, size_t size);
    void write(std::string_view bytes)
    {
        write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    // The zlib (FlateDecode) stream of everything written; the compressor is
    // spent afterwards.
    std::string finish();

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
    std::string out_;
};

// The bytes a zlib stream decodes to, at most `limit` of them; nothing when the
// stream is damaged or decodes to more.
bool inflateSamples(std::string_view compressed, size_t limit, std::string& out);

}  // namespace pdfengine
