#include "pdfengine/Deflater.h"

#include <zlib.h>
#include <new>
#include <stdexcept>

namespace pdfengine {

struct Deflater::State {
    z_stream stream{};
    bool ready = false;
};

Deflater::Deflater(int level) : state_(std::make_unique<State>())
{
    int result = deflateInit(&state_->stream, level);
    if (result == Z_MEM_ERROR)
        throw std::bad_alloc();
    if (result != Z_OK)
        throw std::runtime_error("zlib could not start a compressor");
    state_->ready = true;
}

Deflater::~Deflater()
{
    if (state_->ready)
        deflateEnd(&state_->stream);
}

std::string Deflater::compress(std::string_view data)
{
    if (data.size() > 0xFFFFFFF0u)
        throw std::length_error("content stream too long to compress");
    z_stream& stream = state_->stream;
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
