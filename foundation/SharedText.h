// An immutable, possibly absent, NUL-terminated byte string that copies share. Setting
// a text equal to one set recently on the same thread shares that one too: the many
// fonts of a configuration repeat a handful of names, encodings and files, and each
// text holds its own font.
#pragma once

#include <memory>
#include <string>

class SharedText {
public:
    SharedText() = default;
    explicit SharedText(const char* text) { set(text); }

    // The held text; none when absent.
    const char* get() const { return text_ ? text_->c_str() : nullptr; }
    bool present() const { return text_ != nullptr; }

    // Holds a text equal to text (none leaves it absent); the text given is read
    // before the one held is let go, so x.set(x.get()) is safe.
    void set(const char* text);
    void clear() { text_.reset(); }

private:
    std::shared_ptr<const std::string> text_;
};
