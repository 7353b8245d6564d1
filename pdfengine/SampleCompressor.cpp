#include "pdfengine/SampleCompressor.h"

#include <zlib.h>
#include <algorithm>
#include <new>

namespace pdfengine {

namespace {

constexpr size_t chunkSize = 64 * 1024;

}  // namespace

struct SampleCompressor::Stream {
    z_stream z{};
    bool open = false;

    Stream()
    {
        if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
            throw std::bad_alloc();
        open = true;
    }
    ~Stream()
    {
        if (open)
            deflateEnd(&z);
    }
};

SampleCompressor::SampleCompressor() : stream_(std::make_unique<Stream>()) {}

SampleCompressor::~SampleCompressor() = default;

void SampleCompressor::write(const unsigned char* data, size_t size)
{
    z_stream& z = stream_->z;
    while (size > 0) {
        // avail_in is 32 bits wide.
        const size_t part = size < (1u << 30) ? size : (1u << 30);
        z.next_in = const_cast<unsigned char*>(data);
        z.avail_in = static_cast<uInt>(part);
        while (z.avail_in > 0) {
            const size_t used = out_.size();
            out_.resize(used + chunkSize);
            z.next_out = reinterpret_cast<unsigned char*>(out_.data() + used);
            z.avail_out = chunkSize;
            const int result = deflate(&z, Z_NO_FLUSH);
            out_.resize(used + chunkSize - z.avail_out);
            if (result == Z_MEM_ERROR)
                throw std::bad_alloc();
        }
        data += part;
        size -= part;
    }
}

std::string SampleCompressor::finish()
{
    z_stream& z = stream_->z;
    z.next_in = nullptr;
    z.avail_in = 0;
    int result;
    do {
        const size_t used = out_.size();
        out_.resize(used + chunkSize);
        z.next_out = reinterpret_cast<unsigned char*>(out_.data() + used);
        z.avail_out = chunkSize;
        result = deflate(&z, Z_FINISH);
        out_.resize(used + chunkSize - z.avail_out);
        if (result == Z_MEM_ERROR)
            throw std::bad_alloc();
    } while (result != Z_STREAM_END);
    out_.shrink_to_fit();
    return std::move(out_);
}

bool inflateSamples(std::string_view compressed, size_t limit, std::string& out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw std::bad_alloc();
    out.clear();
    z.next_in = reinterpret_cast<unsigned char*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    int result = Z_OK;
    while (result == Z_OK) {
        if (out.size() >= limit) {
            result = Z_BUF_ERROR;
            break;
        }
        const size_t used = out.size();
        const size_t room = std::min(chunkSize, limit - used);
        out.resize(used + room);
        z.next_out = reinterpret_cast<unsigned char*>(out.data() + used);
        z.avail_out = static_cast<uInt>(room);
        result = inflate(&z, Z_NO_FLUSH);
        out.resize(used + room - z.avail_out);
    }
    inflateEnd(&z);
    if (result == Z_MEM_ERROR)
        throw std::bad_alloc();
    return result == Z_STREAM_END;
}

}  // namespace pdfengine
