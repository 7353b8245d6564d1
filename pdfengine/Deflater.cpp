#include "pdfengine/Deflater.h"

#include <zlib.h>
#include <new>
#include <stdexcept>

namespace pdfengine {

namespace {

// Streams up to this size fit the small compressor's window whole.
constexpr size_t smallLimit = 4096;
constexpr int smallWindowBits = 12;  // a 4 KB window
constexpr int smallMemLevel = 5;     // an 8 KB hash table instead of 64 KB

}  // namespace

struct Deflater::Compressor {
    Compressor(int level, int windowBits, int memLevel)
    {
        int result = deflateInit2(&stream, level, Z_DEFLATED, windowBits, memLevel, Z_DEFAULT_STRATEGY);
        if (result == Z_MEM_ERROR)
            throw std::bad_alloc();
        if (result != Z_OK)
            throw std::runtime_error("zlib could not start a compressor");
    }
    ~Compressor() { deflateEnd(&stream); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    z_stream stream{};
};

Deflater::Deflater(int level) : level_(level) {}

Deflater::~Deflater() = default;

std::string Deflater::compress(std::string_view data)
{
    if (data.size() > 0xFFFFFFF0u)
        throw std::length_error("content stream too long to compress");
    std::unique_ptr<Compressor>& compressor = data.size() <= smallLimit ? small_ : large_;
    if (!compressor)
        compressor = data.size() <= smallLimit
                         ? std::make_unique<Compressor>(level_, smallWindowBits, smallMemLevel)
                         : std::make_unique<Compressor>(level_, MAX_WBITS, 8);
    z_stream& stream = compressor->stream;
    deflateReset(&stream);
    std::string out;
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    // deflateBound guarantees that one call with Z_FINISH completes.
    int result = deflate(&stream, Z_FINISH);
    if (result != Z_STREAM_END)
        throw std::runtime_error("zlib could not compress a content stream");
    out.resize(stream.total_out);
    return out;
}

}  // namespace pdfengine
