// The end of a qpdf pipeline that takes stream data up to a limit: it keeps the
// bytes (or only counts them) and stops the pipeline once the data exceeds the
// limit, so that a small compressed stream cannot fill the memory.
#pragma once

#include <string>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

class BoundedSink : public Pipeline {
public:
    BoundedSink(size_t limit, bool keep) : Pipeline("bounded sink", nullptr), limit_(limit), keep_(keep) {}

    void write(unsigned char const* data, size_t length) override;
    void finish() override {}

    // Whether the data went beyond the limit. Checked after the pipeline ran,
    // because qpdf may catch the exception that stopped it.
    bool exceeded() const { return exceeded_; }
    size_t size() const { return size_; }
    std::string& data() { return data_; }

private:
    size_t limit_;
    bool keep_;
    bool exceeded_ = false;
    size_t size_ = 0;
    std::string data_;
};

}  // namespace pdfengine
