// Helpers of the engine's tests: a handle whose error handler throws, and
// readers of what the PDF tools say about our files.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pdfengine/pdf_api.h"

namespace enginetest {

// What the throwing error handler throws.
struct Raised {
    int type;
    std::string message;
};

// A handle whose error handler throws Raised, deleted at the end of the scope.
class Handle {
public:
    Handle();
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    operator PDF*() const { return p_; }
    PDF* operator->() const { return p_; }

private:
    PDF* p_;
};

// Runs f and returns what the error handler raised; fails the test when
// nothing was raised.
Raised raised(const std::function<void()>& f);

// The error a call raised, as "<errnum> <type> <message>", for whole-text
// comparisons, or "no error".
std::string failure(PDF* p, const std::function<void()>& f);

// A document of `pages` empty pages of the given size, written to path.
void writeEmptyPages(const std::string& path, int pages, double width, double height,
                     const std::string& options = "");

// A document of one 100 x 100 page with a red 50 x 50 square in its lower
// left corner, written to path after the global options were set.
void writeRedSquare(const std::string& path, const std::string& options = "",
                    const std::string& globalOptions = "");

// The value of a "Key: value" line of pdfinfo (the value trimmed), or "".
std::string pdfinfoField(const std::string& output, const std::string& key);

// The decoded content stream of a page (1-based), read with qpdf's QDF mode.
std::string pageContent(const std::string& pdf, int page, const std::string& password = "");

// A page rendered at 72 dpi: width, height and RGB bytes from the top row down.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    // The pixel under PDF point (x, y) of the page (origin bottom left).
    unsigned long pixel(int x, int y) const;
    // Its colour as a letter: 'r', 'g', 'b', 'w' (white), 'k' (black), '?'.
    char colour(int x, int y) const;
};
Raster render(const std::string& pdf, int page = 1);

}  // namespace enginetest
