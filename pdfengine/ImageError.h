// The failures of reading an image file. The image readers know nothing of the
// API: they throw an ImageError whose kind the image registry turns into the
// engine's error number; the message names the file and the reason and is
// meant for users.
#pragma once

#include <stdexcept>
#include <string>

namespace pdfengine {

enum class ImageErrorKind {
    FileNotFound,   // no file of that name in the current folder or the search path
    CannotRead,     // the file exists but cannot be read (permissions, a folder, I/O)
    UnknownFormat,  // not a JPEG, PNG, GIF or TIFF file
    TypeMismatch,   // the caller named another image type than the bytes are
    Unsupported,    // a valid image of a kind PDF or this build cannot carry
    Damaged,        // truncated or malformed data
    TooLarge,       // beyond the limits that protect the engine
};

class ImageError : public std::runtime_error {
public:
    ImageError(ImageErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}

    ImageErrorKind kind() const { return kind_; }

private:
    ImageErrorKind kind_;
};

}  // namespace pdfengine
