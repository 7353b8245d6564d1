#include "tests/text-engine/TextTestSupport.h"

#include <sys/stat.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "tests/support/TestSupport.h"

namespace texttest {

bool exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

namespace {

std::u32string decode(const std::string& utf8)
{
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(c);
        i += static_cast<size_t>(length);
    }
    return out;
}

std::string utf16(const std::string& utf8, bool bigEndian)
{
    std::string out;
    auto unit = [&](unsigned u) {
        char hi = static_cast<char>(u >> 8);
        char lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    for (char32_t c : decode(utf8)) {
        if (c > 0xFFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

// pdftotext -bbox writes the characters of <, > and & as entities.
std::string unescape(std::string text)
{
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), character);
    }
    return text;
}

}  // namespace

std::string utf16le(const std::string& utf8)
{
    return utf16(utf8, false);
}

std::string utf16be(const std::string& utf8)
{
    return utf16(utf8, true);
}

std::vector<std::string> textLines(const std::string& pdf)
{
    auto result = testsupport::run({"pdftotext", "-enc", "UTF-8", pdf, "-"});
    std::vector<std::string> out;
    std::istringstream in(result.out);
    std::string line;
    while (std::getline(in, line)) {
        // Pages are separated by form feeds.
        std::erase(line, '\f');
        if (!line.empty())
            out.push_back(line);
    }
    return out;
}

std::vector<Word> words(const std::string& pdf)
{
    auto result = testsupport::run({"pdftotext", "-bbox", "-enc", "UTF-8", pdf, "-"});
    static const std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
    static const std::regex wordPattern(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::vector<Word> out;
    double height = 0;
    std::istringstream in(result.out);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, page)) {
            height = std::atof(m[2].str().c_str());
        } else if (std::regex_search(line, m, wordPattern)) {
            Word w;
            w.xMin = std::atof(m[1].str().c_str());
            w.xMax = std::atof(m[3].str().c_str());
            w.yMin = height - std::atof(m[4].str().c_str());
            w.yMax = height - std::atof(m[2].str().c_str());
            w.text = unescape(m[5].str());
            out.push_back(w);
        }
    }
    return out;
}

Word word(const std::vector<Word>& words, const std::string& text)
{
    for (const Word& w : words) {
        if (w.text == text)
            return w;
    }
    return Word{};
}

std::vector<FontRow> fonts(const std::string& pdf)
{
    auto result = testsupport::run({"pdffonts", pdf});
    std::vector<FontRow> rows;
    std::istringstream in(result.out);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        if (++lineNumber <= 2 || line.size() < 90)
            continue;
        // Fixed columns: name 37, type 18, encoding 17, then emb sub uni.
        auto field = [&](size_t from, size_t length) {
            std::string value = line.substr(from, length);
            size_t end = value.find_last_not_of(' ');
            return end == std::string::npos ? std::string() : value.substr(0, end + 1);
        };
        FontRow row;
        row.name = field(0, 37);
        row.type = field(37, 18);
        row.encoding = field(55, 17);
        row.embedded = field(72, 4) == "yes";
        row.subset = field(76, 4) == "yes";
        row.toUnicode = field(80, 4) == "yes";
        rows.push_back(row);
    }
    return rows;
}

void writePage(PDF* p, const std::string& path, const std::function<void(PDF*)>& draw,
               const std::string& documentOptions)
{
    PDF_begin_document(p, path.c_str(), 0, documentOptions.c_str());
    PDF_begin_page_ext(p, 595, 842, "");
    draw(p);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
}

}  // namespace texttest
