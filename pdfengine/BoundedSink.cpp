#include "pdfengine/BoundedSink.h"

#include <stdexcept>

namespace pdfengine {

void BoundedSink::write(unsigned char const* data, size_t length)
{
    if (exceeded_ || length > limit_ - size_) {
        exceeded_ = true;
        throw std::length_error("stream data beyond the limit");
    }
    size_ += length;
    if (keep_)
        data_.append(reinterpret_cast<const char*>(data), length);
}

}  // namespace pdfengine
