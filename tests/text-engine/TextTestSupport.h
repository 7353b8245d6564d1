// Helpers of the text tests: the fonts they use, texts in the byte forms the
// encodings take, and what poppler's tools read back from a PDF.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pdfengine/pdf_api.h"

namespace texttest {

constexpr const char* kGothic = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";
constexpr const char* kMincho = "/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf";
constexpr const char* kNotoCjk = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
constexpr const char* kNimbusOtf = "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf";
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool exists(const std::string& path);

// UTF-8 to UTF-16 code units as bytes, little- or big-endian, without a mark.
std::string utf16le(const std::string& utf8);
std::string utf16be(const std::string& utf8);

// The non-empty lines pdftotext gives for a PDF (UTF-8).
std::vector<std::string> textLines(const std::string& pdf);

// A word of pdftotext -bbox, in PDF coordinates (origin bottom left).
struct Word {
    std::string text;
    double xMin = 0;
    double yMin = 0;
    double xMax = 0;
    double yMax = 0;
};
std::vector<Word> words(const std::string& pdf);
// The first word with that text; a word with empty text when there is none.
Word word(const std::vector<Word>& words, const std::string& text);

// A row of pdffonts.
struct FontRow {
    std::string name;
    std::string type;
    std::string encoding;
    bool embedded = false;
    bool subset = false;
    bool toUnicode = false;
};
std::vector<FontRow> fonts(const std::string& pdf);

// One page of 595 x 842 points with what `draw` puts on it, written to `path`;
// `p` is a handle whose error handler throws.
void writePage(PDF* p, const std::string& path, const std::function<void(PDF*)>& draw,
               const std::string& documentOptions = "");

}  // namespace texttest

#define REQUIRE_FONT(path)                                 \
    do {                                                   \
        if (!::texttest::exists(path))                     \
            GTEST_SKIP() << (path) << " is not installed"; \
    } while (0)
