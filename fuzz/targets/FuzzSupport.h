// What the fuzz targets share: a scratch folder for the inputs that must be files,
// reading an input in parts, and the report of a broken promise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pdfengine/pdf_api.h"

namespace fuzztargets {

// A path in this process's scratch folder, which is made on first use and removed,
// with what is in it, when the process ends normally.
std::string scratchPath(std::string_view name);

// Writes the bytes to path, replacing what was there.
void writeBytes(const std::string& path, std::string_view bytes);

// Ends the page and the in-memory document of p, reads the one-page PDF the
// engine wrote with qpdf and decodes every stream that qpdf can decode (a PDF
// it cannot read, or reads only with warnings, is a broken promise), then
// deletes p.
void finishAndReadBack(PDF* p);

// Reports a result that breaks what the code under test promises, then aborts, so
// that the fuzzer keeps the input and a test run fails.
[[noreturn]] void broken(const char* what);

inline void expect(bool condition, const char* what)
{
    if (!condition)
        broken(what);
}

// An input taken apart from the front: a few bytes choose what is done, the rest
// is the text that is done with.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    // The next byte, 0 when none is left.
    uint8_t byte();
    // The next 16-bit value (little-endian), from as many bytes as are left.
    uint16_t u16();
    // The text up to the next separator byte (not included), or the rest.
    std::string_view until(char separator);
    // Everything left.
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace fuzztargets
