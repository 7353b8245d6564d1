// A table of 65,536 entries of which a document reaches a few hundred: kept in
// pages of 256 entries, each allocated when an entry of it is first reached.
// What a font file answers per character or glyph (its glyph, its width) is
// worked out when first asked for and kept here, rather than for the whole
// font when it is loaded.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

namespace pdfengine {

template <typename T>
class PagedTable {
public:
    // Entries not set yet hold `fresh`.
    explicit PagedTable(T fresh) : fresh_(fresh) {}

    T& operator[](uint16_t index)
    {
        T* page = pages_[index >> 8].get();
        if (!page) [[unlikely]]
            page = makePage(index >> 8);
        return page[index & 0xFF];
    }

    // The entry without allocating its page: `fresh` when it was never set.
    T get(uint16_t index) const
    {
        const std::unique_ptr<T[]>& page = pages_[index >> 8];
        return page ? page[index & 0xFF] : fresh_;
    }

private:
    static constexpr size_t kPageSize = 256;

    // Out of line, so that reaching an entry stays small enough to inline.
    [[gnu::noinline]] T* makePage(size_t number)
    {
        pages_[number] = std::make_unique_for_overwrite<T[]>(kPageSize);
        std::fill_n(pages_[number].get(), kPageSize, fresh_);
        return pages_[number].get();
    }

    T fresh_;
    std::array<std::unique_ptr<T[]>, 256> pages_{};
};

}  // namespace pdfengine
