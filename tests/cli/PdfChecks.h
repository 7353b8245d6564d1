// Reading a PDF back with poppler's and qpdf's tools: word boxes (pdftotext -bbox),
// pixels (pdftoppm), document information (pdfinfo) and encryption (qpdf).
#pragma once

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace pdfcheck {

// One word as pdftotext -bbox gives it: points, from the top-left corner.
struct Word {
    std::string text;  // UTF-8
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double centerX() const { return (xMin + xMax) / 2; }
};

// Undoes the entities pdftotext writes into its HTML.
inline std::string unescapeHtml(std::string text)
{
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), plain);
    }
    return text;
}

// The words of one page (1-based).
inline std::vector<Word> words(const std::string& pdf, int page = 1)
{
    std::string html = pdf + ".bbox.html";
    std::string number = std::to_string(page);
    testsupport::run({"pdftotext", "-bbox", "-f", number, "-l", number, pdf, html});
    std::string content = testsupport::readFile(html);
    static const std::regex word(
        "<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" "
        "yMax=\"([-0-9.]+)\">([^<]*)</word>");
    std::vector<Word> found;
    for (auto it = std::sregex_iterator(content.begin(), content.end(), word); it != std::sregex_iterator();
         ++it) {
        const std::smatch& m = *it;
        found.push_back({unescapeHtml(m[5].str()), std::stod(m[1].str()), std::stod(m[2].str()),
                         std::stod(m[3].str()), std::stod(m[4].str())});
    }
    return found;
}

// The first word with that text.
inline std::optional<Word> findWord(const std::string& pdf, const std::string& text, int page = 1)
{
    for (const Word& w : words(pdf, page)) {
        if (w.text == text)
            return w;
    }
    return std::nullopt;
}

// The words that spell text one after the other (pdftotext may split Japanese text
// into several words), as one box.
inline std::optional<Word> findPhrase(const std::string& pdf, const std::string& text, int page = 1)
{
    std::vector<Word> all = words(pdf, page);
    for (size_t first = 0; first < all.size(); ++first) {
        Word joined = all[first];
        for (size_t next = first + 1; joined.text.size() < text.size() && next < all.size(); ++next) {
            joined.text += all[next].text;
            joined.xMin = std::min(joined.xMin, all[next].xMin);
            joined.yMin = std::min(joined.yMin, all[next].yMin);
            joined.xMax = std::max(joined.xMax, all[next].xMax);
            joined.yMax = std::max(joined.yMax, all[next].yMax);
        }
        if (joined.text == text)
            return joined;
    }
    return std::nullopt;
}

// The whole text of a page, as pdftotext gives it in reading order.
inline std::string text(const std::string& pdf, int page = 1)
{
    std::string number = std::to_string(page);
    return testsupport::run({"pdftotext", "-f", number, "-l", number, pdf, "-"}).out;
}

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

// A page rendered at one pixel per point, read from pdftoppm's PPM.
class Raster {
public:
    Raster(const std::string& pdf, int page = 1)
    {
        std::string prefix = pdf + ".raster";
        std::string number = std::to_string(page);
        testsupport::run({"pdftoppm", "-r", "72", "-f", number, "-l", number, "-singlefile", pdf, prefix});
        std::string ppm = testsupport::readFile(prefix + ".ppm");
        static const std::regex header("^P6\\s+(\\d+)\\s+(\\d+)\\s+255\\s");
        std::smatch m;
        if (!std::regex_search(ppm, m, header))
            return;
        width_ = std::stoi(m[1].str());
        height_ = std::stoi(m[2].str());
        pixels_ = ppm.substr(static_cast<size_t>(m.length(0)));
        if (pixels_.size() < static_cast<size_t>(width_) * height_ * 3)
            width_ = height_ = 0;
    }
    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel at x, y points from the top-left corner.
    Rgb at(double x, double y) const
    {
        int px = static_cast<int>(x), py = static_cast<int>(y);
        if (px < 0 || py < 0 || px >= width_ || py >= height_)
            return {-1, -1, -1};
        size_t offset = (static_cast<size_t>(py) * width_ + px) * 3;
        auto byte = [&](size_t i) {
            return static_cast<int>(static_cast<unsigned char>(pixels_[offset + i]));
        };
        return {byte(0), byte(1), byte(2)};
    }

    // Whether any pixel of the box (points) is near colour.
    bool contains(const Word& box, const Rgb& colour, int tolerance = 40) const;

private:
    int width_ = 0, height_ = 0;
    std::string pixels_;
};

// Whether a colour is near another (anti-aliasing blurs the edges only).
inline bool near(const Rgb& a, const Rgb& b, int tolerance = 40)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

inline const Rgb white{255, 255, 255}, black{0, 0, 0}, red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

inline bool Raster::contains(const Word& box, const Rgb& colour, int tolerance) const
{
    for (double y = box.yMin; y <= box.yMax; y += 1) {
        for (double x = box.xMin; x <= box.xMax; x += 1) {
            if (near(at(x, y), colour, tolerance))
                return true;
        }
    }
    return false;
}

// A field of pdfinfo's output ("Title", "PDF version", "Page size"), as UTF-8.
inline std::string info(const std::string& pdf, const std::string& field, const std::string& password = "")
{
    std::vector<std::string> argv{"pdfinfo"};
    if (!password.empty())
        argv.insert(argv.end(), {"-upw", password});
    argv.push_back(pdf);
    std::string out = testsupport::run(argv).out;
    std::string key = field + ":";
    for (size_t at = 0; at < out.size();) {
        size_t end = out.find('\n', at);
        std::string line = out.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.rfind(key, 0) == 0) {
            size_t value = line.find_first_not_of(' ', key.size());
            return value == std::string::npos ? "" : line.substr(value);
        }
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return "";
}

// qpdf's description of the encryption, opened with password.
inline std::string encryption(const std::string& pdf, const std::string& password)
{
    return testsupport::run({"qpdf", "--password=" + password, "--show-encryption", pdf}).out;
}

}  // namespace pdfcheck
