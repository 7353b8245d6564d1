// An owned, possibly absent, NUL-terminated byte string: the storage behind the
// model's and the exceptions' texts. get() hands out the held pointer (none when
// absent); set() copies before it releases, so x.set(x.get()) is safe.
#pragma once

#include <cstring>
#include <memory>

#include "foundation/TORAllocator.h"

class OwnedText {
public:
    OwnedText() = default;
    explicit OwnedText(const char* text) : text_(TORAllocator::duplicate(text)) {}
    OwnedText(const OwnedText& other) : text_(TORAllocator::duplicate(other.get())) {}
    OwnedText(OwnedText&&) noexcept = default;
    OwnedText& operator=(const OwnedText& other)
    {
        set(other.get());
        return *this;
    }
    OwnedText& operator=(OwnedText&&) noexcept = default;

    const char* get() const { return text_.get(); }
    char* data() { return text_.get(); }
    bool present() const { return text_ != nullptr; }
    size_t length() const { return text_ ? std::strlen(text_.get()) : 0; }

    void set(const char* text) { text_.reset(TORAllocator::duplicate(text)); }
    // Takes over a buffer made with new[] (for instance by TORAllocator).
    void adopt(char* buffer) { text_.reset(buffer); }
    void clear() { text_.reset(); }

private:
    std::unique_ptr<char[]> text_;
};
