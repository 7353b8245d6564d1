// The API trace (global option logging): one line per API call with its
// arguments, its result and, for a failure, the error. The line format is
// described in pdfengine/README.md; tests rely on it.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace pdfengine {

class ApiTrace {
public:
    bool enabled() const { return file_ != nullptr; }

    // Starts writing to `filename`, appending unless `truncate`. Throws
    // EngineError when the file cannot be opened; the old trace then goes on.
    void open(const std::string& filename, bool truncate);
    void close() { file_.reset(); }

    // Writes one line (the newline is added) and flushes it, so the trace is
    // complete up to a crash. The trace is diagnostic: a failing write is ignored.
    void writeLine(std::string_view line);

    // Argument and result formatting: texts in double quotes with bytes
    // outside 0x20-0x7E, '"' and '\' escaped, null as NULL; numbers as %g.
    static void appendText(std::string& out, const char* text, size_t length);
    static void appendText(std::string& out, const char* text);
    static void appendNumber(std::string& out, double value);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace pdfengine
