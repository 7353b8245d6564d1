#include "tools/quillon-blocks/BlockIni.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "pdfengine/FitKeywords.h"
#include "pdfengine/OptionList.h"
#include "platform/profile.h"
#include "platform/profile_parse.h"
#include "tools/quillon-blocks/ShiftJis.h"

namespace quillonblocks {

namespace {

// Values longer than this are refused rather than cut.
constexpr uint32_t valueBuffer = 4096;

enum class Kind {
    Text,
    FontName,
    Number,
    Positive,
    NonNegative,
    Color,
    Position,
    FitMethod,
    Margin,
    Boolean
};

struct Property {
    const char* key;
    Kind kind;
};

// The properties the engine's block reader knows, in the order they are written.
constexpr Property properties[] = {
    {"fontname", Kind::FontName},     {"fontsize", Kind::Positive},  {"fillcolor", Kind::Color},
    {"strokecolor", Kind::Color},     {"bgcolor", Kind::Color},      {"bordercolor", Kind::Color},
    {"linewidth", Kind::NonNegative}, {"position", Kind::Position},  {"fitmethod", Kind::FitMethod},
    {"margin", Kind::Margin},         {"charspacing", Kind::Number}, {"wordspacing", Kind::Number},
    {"horizscaling", Kind::Positive}, {"rotate", Kind::Number},      {"textflow", Kind::Boolean},
    {"defaulttext", Kind::Text},      {"defaultimage", Kind::Text},
};

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> result;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() &&
               (text[i] == ' ' || text[i] == '\t' || text[i] == '{' || text[i] == '}' || text[i] == ','))
            ++i;
        size_t start = i;
        while (i < text.size() &&
               !(text[i] == ' ' || text[i] == '\t' || text[i] == '{' || text[i] == '}' || text[i] == ','))
            ++i;
        if (i > start)
            result.push_back(text.substr(start, i - start));
    }
    return result;
}

std::optional<double> number(std::string_view text)
{
    double value = 0;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QPDFObjectHandle numberObject(double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        return QPDFObjectHandle::newInteger(static_cast<long long>(value));
    return QPDFObjectHandle::newReal(value, 6, true);
}

QPDFObjectHandle textObject(const std::string& utf8)
{
    // A PDF text string in UTF-16BE with its byte-order mark.
    return QPDFObjectHandle::newString(QUtil::utf8_to_utf16(utf8));
}

// RRGGBB (optionally after # or 0x) as [r g b]; else a list of 1, 3 or 4
// components from 0 to 1, optionally after gray, rgb or cmyk.
std::optional<QPDFObjectHandle> colorObject(std::string_view text)
{
    std::string_view hex = text;
    if (hex.starts_with('#'))
        hex.remove_prefix(1);
    else if (hex.starts_with("0x") || hex.starts_with("0X"))
        hex.remove_prefix(2);
    if (hex.size() == 6 &&
        std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(c & 0xFF); })) {
        const std::string bytes = QUtil::hex_decode(std::string(hex));
        auto array = QPDFObjectHandle::newArray();
        for (unsigned char component : bytes)
            array.appendItem(numberObject(std::round(component / 255.0 * 1e4) / 1e4));
        return array;
    }
    std::vector<std::string_view> items = words(text);
    size_t expected = 0;
    if (!items.empty() && !number(items.front())) {
        static constexpr std::pair<const char*, size_t> spaces[] = {{"gray", 1}, {"rgb", 3}, {"cmyk", 4}};
        for (auto [space, count] : spaces)
            if (pdfengine::equalsNoCase(items.front(), space))
                expected = count;
        if (expected == 0)
            return std::nullopt;
        items.erase(items.begin());
        if (items.size() != expected)
            return std::nullopt;
    }
    if (items.size() != 1 && items.size() != 3 && items.size() != 4)
        return std::nullopt;
    auto array = QPDFObjectHandle::newArray();
    for (std::string_view item : items) {
        std::optional<double> value = number(item);
        if (!value || *value < 0 || *value > 1)
            return std::nullopt;
        array.appendItem(numberObject(*value));
    }
    return array;
}

bool isPlainName(std::string_view text)
{
    for (char c : text) {
        if (c <= ' ' || c > '~' || std::string_view("()<>[]{}/%#").find(c) != std::string_view::npos)
            return false;
    }
    return !text.empty();
}

class SectionReader {
public:
    SectionReader(const std::string& path, const std::string& section) : path_(path), section_(section) {}

    // The value of key, blanks and one pair of quotes removed; empty when absent.
    std::string value(const char* key) const
    {
        std::string buffer(valueBuffer, '\0');
        const uint32_t length = platform::getPrivateProfileString(section_.c_str(), key, "", buffer.data(),
                                                                  valueBuffer, path_.c_str());
        if (length >= valueBuffer - 2)
            fail(key, "is longer than " + std::to_string(valueBuffer - 2) + " bytes");
        buffer.resize(length);
        return buffer;
    }

    [[noreturn]] void fail(const std::string& key, const std::string& problem) const
    {
        throw std::runtime_error(path_ + " [" + section_ + "]: '" + key + "' " + problem);
    }

    std::string utf8(const char* key, const std::string& text) const
    {
        std::optional<std::string> converted = shiftJisToUtf8(text);
        if (!converted)
            fail(key, "is not valid Shift-JIS text");
        return *converted;
    }

    double required(const char* key, const char* expectation, bool (*valid)(double)) const
    {
        const std::string text = value(key);
        if (text.empty())
            fail(key, "is missing");
        std::optional<double> n = number(text);
        if (!n || !valid(*n))
            fail(key, std::string("must be ") + expectation + ", not '" + text + "'");
        return *n;
    }

    QPDFObjectHandle property(const Property& p, const std::string& text) const
    {
        auto mustBe = [&](const std::string& expectation) {
            fail(p.key, "must be " + expectation + ", not '" + text + "'");
        };
        switch (p.kind) {
            case Kind::Text:
                return textObject(utf8(p.key, text));
            case Kind::FontName:
                return isPlainName(text) ? QPDFObjectHandle::newName("/" + text)
                                         : textObject(utf8(p.key, text));
            case Kind::Number:
            case Kind::Positive:
            case Kind::NonNegative: {
                std::optional<double> n = number(text);
                if (!n)
                    mustBe("a number");
                if (p.kind == Kind::Positive && !(*n > 0))
                    mustBe("a number above 0");
                if (p.kind == Kind::NonNegative && *n < 0)
                    mustBe("a number not below 0");
                return numberObject(*n);
            }
            case Kind::Color: {
                std::optional<QPDFObjectHandle> color = colorObject(text);
                if (!color)
                    mustBe("a colour (RRGGBB, or 1, 3 or 4 components from 0 to 1)");
                return *color;
            }
            case Kind::Position: {
                std::optional<std::array<double, 2>> position = pdfengine::positionFromItems(words(text));
                if (!position)
                    mustBe("a position (two percentages, or left, center, right and bottom, center, top)");
                auto array = QPDFObjectHandle::newArray();
                array.appendItem(numberObject((*position)[0]));
                array.appendItem(numberObject((*position)[1]));
                return array;
            }
            case Kind::FitMethod: {
                if (!pdfengine::fitMethodFromKeyword(text))
                    mustBe("nofit, meet, slice, entire, clip or auto");
                return QPDFObjectHandle::newName("/" + platform::profile_detail::foldLetters(text));
            }
            case Kind::Margin: {
                std::vector<std::string_view> items = words(text);
                std::vector<double> values;
                for (std::string_view item : items) {
                    std::optional<double> n = number(item);
                    if (!n || *n < 0)
                        break;
                    values.push_back(*n);
                }
                if (values.size() != items.size() || values.empty() || values.size() > 2)
                    mustBe("one or two numbers not below 0");
                if (values.size() == 1)
                    return numberObject(values[0]);
                auto array = QPDFObjectHandle::newArray();
                array.appendItem(numberObject(values[0]));
                array.appendItem(numberObject(values[1]));
                return array;
            }
            case Kind::Boolean:
                for (const char* yes : {"true", "yes", "1"})
                    if (pdfengine::equalsNoCase(text, yes))
                        return QPDFObjectHandle::newBool(true);
                for (const char* no : {"false", "no", "0"})
                    if (pdfengine::equalsNoCase(text, no))
                        return QPDFObjectHandle::newBool(false);
                mustBe("true or false");
        }
        fail(p.key, "cannot be read");
    }

private:
    const std::string& path_;
    const std::string& section_;
};

BlockRequest readBlock(const std::string& path, const std::string& section)
{
    const SectionReader reader(path, section);
    BlockRequest block;
    block.section = section;

    const std::string page = reader.value("page");
    if (page.empty())
        reader.fail("page", "is missing");
    std::optional<double> pageNumber = number(page);
    if (!pageNumber || *pageNumber < 1 || *pageNumber != std::trunc(*pageNumber) || *pageNumber > 1e9)
        reader.fail("page", "must be a page number from 1, not '" + page + "'");
    block.page = static_cast<int>(*pageNumber);

    // Without a name the section's name names the block.
    std::string name = reader.value("name");
    block.name = reader.utf8("name", name.empty() ? section : name);
    if (block.name.empty())
        reader.fail("name", "is missing (and the section has no name)");
    // PDF names are at most 127 bytes long.
    if (block.name.size() > 127)
        reader.fail("name", "is longer than 127 bytes in UTF-8");

    const std::string type = reader.value("type");
    if (type.empty() || pdfengine::equalsNoCase(type, "text"))
        block.subtype = "/Text";
    else if (pdfengine::equalsNoCase(type, "image"))
        block.subtype = "/Image";
    else if (pdfengine::equalsNoCase(type, "pdf"))
        block.subtype = "/PDF";
    else
        reader.fail("type", "must be text, image or pdf, not '" + type + "'");

    block.x = reader.required("x", "a number not below 0", [](double v) { return v >= 0; });
    block.y = reader.required("y", "a number not below 0", [](double v) { return v >= 0; });
    block.width = reader.required("width", "a number above 0", [](double v) { return v > 0; });
    block.height = reader.required("height", "a number above 0", [](double v) { return v > 0; });

    for (const Property& p : properties) {
        const std::string text = reader.value(p.key);
        if (!text.empty())
            block.properties.emplace_back(std::string("/") + p.key, reader.property(p, text));
    }
    return block;
}

}  // namespace

std::vector<BlockRequest> BlockIni::read(const std::string& path)
{
    if (!std::ifstream(path))
        throw std::runtime_error("Cannot read the block file '" + path + "'");
    platform::ProfileReadScope scope;
    const std::vector<std::string> sections = platform::getPrivateProfileSectionNames(path.c_str());
    if (sections.empty())
        throw std::runtime_error(path + ": no block sections");
    std::vector<BlockRequest> blocks;
    std::vector<std::string> seen;
    for (const std::string& section : sections) {
        // The profile reader reads only the first section of a name.
        const std::string comparable = platform::profile_detail::comparableName(section);
        if (std::find(seen.begin(), seen.end(), comparable) != seen.end())
            throw std::runtime_error(path + ": section [" + section + "] appears more than once");
        seen.push_back(comparable);
        blocks.push_back(readBlock(path, section));
    }
    return blocks;
}

}  // namespace quillonblocks
