#include "pdfengine/Deflater.h"

#include <libdeflate.h>
#include <new>
#include <stdexcept>

namespace pdfengine {

Deflater::Deflater(int level) : compressor_(libdeflate_alloc_compressor(level))
{
    if (!compressor_)
        throw std::bad_alloc();
}

Deflater::~Deflater()
{
    libdeflate_free_compressor(compressor_);
}

std::string Deflater::compress(std::string_view data)
{
    std::string out;
    out.resize(libdeflate_zlib_compress_bound(compressor_, data.size()));
    // The bound always suffices, so 0 (did not fit) cannot happen.
    const size_t size =
        libdeflate_zlib_compress(compressor_, data.data(), data.size(), out.data(), out.size());
    if (size == 0)
        throw std::logic_error("content stream did not fit its compression bound");
    out.resize(size);
    return out;
}

}  // namespace pdfengine
