// The failures of importing PDF pages and querying imported documents. The
// kind tells the API layer which error number and type to report; the message
// names the file, page or path concerned and is meant for users.
#pragma once

#include <stdexcept>
#include <string>

namespace pdfengine {

enum class PdiErrorKind {
    FileNotFound,      // no file of that name
    CannotRead,        // the file exists but cannot be read (permissions, a folder, I/O)
    NotPdf,            // no PDF header
    PasswordRequired,  // encrypted, and no password was given
    WrongPassword,     // encrypted, and the password given is neither the user nor the master one
    Unsupported,       // an encryption method or feature qpdf cannot read
    Damaged,           // broken structure, or repair=never and the file would need repairing
    TooComplex,        // a limit that protects the engine was reached (nesting, stream size)
    PageOutOfRange,    // a page number outside 1..page count
    BadPage,           // the page exists but cannot be placed (an empty media box)
    BadValue,          // a placement value out of range (zero scale, negative box size)
    PathSyntax,        // a pCOS path that is not well formed
    PathNotFound,      // a well-formed pCOS path that leads to nothing
    WrongType,         // a pCOS path whose object cannot be returned that way
};

class PdiError : public std::runtime_error {
public:
    PdiError(PdiErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}

    PdiErrorKind kind() const { return kind_; }

private:
    PdiErrorKind kind_;
};

// Call from a catch block only. Rethrows what was caught as a PdiError about
// the imported file `fileName`: our own errors and std::bad_alloc unchanged,
// qpdf's by their error code (a wrong password, damage, an unsupported
// feature, a system error), anything else as damage.
[[noreturn]] void rethrowAsPdiError(const std::string& fileName);

// "PDF file 'x.pdf' is damaged (detail)".
PdiError damagedError(const std::string& fileName, const std::string& detail);

}  // namespace pdfengine
