#include "pdfengine/BlockReader.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "pdfengine/NumberFormat.h"
#include "pdfengine/OptionList.h"

namespace pdfengine {

namespace {

QPDFObjectHandle dictEntry(QPDFObjectHandle dict, const char* key)
{
    return dict.isDictionary() ? dict.getKey(key) : QPDFObjectHandle::newNull();
}

// The words of a keyword-like property: a name, a string of words separated by
// blanks (braces ignored), or an array of names, strings and numbers.
std::optional<std::vector<std::string>> words(QPDFObjectHandle value)
{
    std::vector<std::string> result;
    auto addText = [&result](const std::string& text) {
        std::string word;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '{' || c == '}') {
                if (!word.empty())
                    result.push_back(std::move(word));
                word.clear();
            } else {
                word += c;
            }
        }
        if (!word.empty())
            result.push_back(std::move(word));
    };
    auto addItem = [&](QPDFObjectHandle item) {
        if (item.isName())
            result.push_back(nameBytes(item));
        else if (item.isString())
            addText(textStringToUtf8(item));
        else if (item.isNumber())
            result.push_back(shortestNumber(item.getNumericValue()));
        else
            return false;
        return true;
    };
    if (value.isArray()) {
        for (QPDFObjectHandle item : value.aitems())
            if (!addItem(item))
                return std::nullopt;
    } else if (!addItem(value)) {
        return std::nullopt;
    }
    return result;
}

std::optional<double> finiteNumber(QPDFObjectHandle value)
{
    if (!value.isNumber())
        return std::nullopt;
    double n = value.getNumericValue();
    return std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
}

std::optional<BlockColor> color(QPDFObjectHandle value)
{
    if (!value.isArray())
        return std::nullopt;
    std::vector<QPDFObjectHandle> items = value.getArrayAsVector();
    std::optional<BlockColor::Space> named;
    if (!items.empty() && (items.front().isName() || items.front().isString())) {
        std::string space =
            items.front().isName() ? nameBytes(items.front()) : items.front().getStringValue();
        if (equalsNoCase(space, "devicegray") || equalsNoCase(space, "gray"))
            named = BlockColor::Space::Gray;
        else if (equalsNoCase(space, "devicergb") || equalsNoCase(space, "rgb"))
            named = BlockColor::Space::Rgb;
        else if (equalsNoCase(space, "devicecmyk") || equalsNoCase(space, "cmyk"))
            named = BlockColor::Space::Cmyk;
        else
            return std::nullopt;
        items.erase(items.begin());
    }
    BlockColor result;
    switch (items.size()) {
        case 1:
            result.space = BlockColor::Space::Gray;
            break;
        case 3:
            result.space = BlockColor::Space::Rgb;
            break;
        case 4:
            result.space = BlockColor::Space::Cmyk;
            break;
        default:
            return std::nullopt;
    }
    if (named && *named != result.space)
        return std::nullopt;
    for (QPDFObjectHandle item : items) {
        auto n = finiteNumber(item);
        if (!n || *n < 0 || *n > 1)
            return std::nullopt;
        result.components.push_back(*n);
    }
    return result;
}

std::optional<std::array<double, 2>> position(QPDFObjectHandle value)
{
    auto items = words(value);
    if (!items)
        return std::nullopt;
    std::vector<std::string_view> views(items->begin(), items->end());
    return positionFromItems(views);
}

std::optional<std::array<double, 2>> margin(QPDFObjectHandle value)
{
    std::vector<QPDFObjectHandle> items =
        value.isArray() ? value.getArrayAsVector() : std::vector<QPDFObjectHandle>{value};
    if (items.empty() || items.size() > 2)
        return std::nullopt;
    std::array<double, 2> result{};
    for (size_t i = 0; i < items.size(); ++i) {
        auto n = finiteNumber(items[i]);
        if (!n || *n < 0)
            return std::nullopt;
        result[i] = *n;
    }
    if (items.size() == 1)
        result[1] = result[0];
    return result;
}

std::optional<bool> boolean(QPDFObjectHandle value)
{
    if (value.isBool())
        return value.getBoolValue();
    auto items = words(value);
    if (!items || items->size() != 1)
        return std::nullopt;
    if (equalsNoCase(items->front(), "true"))
        return true;
    if (equalsNoCase(items->front(), "false"))
        return false;
    return std::nullopt;
}

std::optional<std::string> keyword(QPDFObjectHandle value)
{
    auto items = words(value);
    if (!items || items->size() != 1)
        return std::nullopt;
    return items->front();
}

BlockType blockType(const std::string& subtype)
{
    if (equalsNoCase(subtype, "text"))
        return BlockType::Text;
    if (equalsNoCase(subtype, "image"))
        return BlockType::Image;
    if (equalsNoCase(subtype, "pdf"))
        return BlockType::Pdf;
    return BlockType::Other;
}

// Stores a property when it reads, else notes why not.
template <typename T, typename Reader>
void readInto(std::optional<T>& field, QPDFObjectHandle value, const char* property, const char* expected,
              Reader reader, std::vector<std::string>& problems)
{
    if (value.isNull())
        return;
    std::optional<T> read = reader(value);
    if (read)
        field = std::move(read);
    else
        problems.push_back(std::string(property) + ": not " + expected);
}

}  // namespace

BlockDefinition BlockReader::readBlock(const std::string& key, QPDFObjectHandle dict) const
{
    BlockDefinition b;
    b.key = key;
    b.dict = dict;

    // Property keys are matched without case (/fontsize, /FontSize).
    std::map<std::string, QPDFObjectHandle> props;
    for (auto& [name, value] : dict.ditems()) {
        std::string lower = name.substr(1);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        props.emplace(lower, value);
    }
    auto prop = [&props](const char* name) {
        auto it = props.find(name);
        return it == props.end() ? QPDFObjectHandle::newNull() : it->second;
    };

    QPDFObjectHandle storedName = dict.getKey("/Name");
    if (auto fromEntry = nameOrTextToUtf8(storedName, legacyNames_))
        b.name = *fromEntry;
    else
        b.name = nameToUtf8(key, legacyNames_);

    if (auto subtype = keyword(dict.getKey("/Subtype"))) {
        b.subtype = *subtype;
        b.type = blockType(*subtype);
    }
    b.rect = PdfRect::fromObject(dict.getKey("/Rect"));
    if (!b.rect)
        b.problems.push_back("Rect: not an array of four numbers");

    auto& p = b.problems;
    auto nonNegative = [](QPDFObjectHandle v) {
        auto n = finiteNumber(v);
        return n && *n >= 0 ? n : std::nullopt;
    };
    auto positive = [](QPDFObjectHandle v) {
        auto n = finiteNumber(v);
        return n && *n > 0 ? n : std::nullopt;
    };
    auto text = [this](QPDFObjectHandle v) { return nameOrTextToUtf8(v, legacyNames_); };
    auto fit = [](QPDFObjectHandle v) {
        auto word = keyword(v);
        return word ? fitMethodFromKeyword(*word) : std::nullopt;
    };
    readInto(b.fontName, prop("fontname"), "fontname", "a name or text", text, p);
    readInto(b.fontSize, prop("fontsize"), "fontsize", "a positive number", positive, p);
    readInto(b.fillColor, prop("fillcolor"), "fillcolor", "a colour", color, p);
    readInto(b.strokeColor, prop("strokecolor"), "strokecolor", "a colour", color, p);
    readInto(b.bgColor, prop("bgcolor"), "bgcolor", "a colour", color, p);
    readInto(b.borderColor, prop("bordercolor"), "bordercolor", "a colour", color, p);
    readInto(b.position, prop("position"), "position", "a position", position, p);
    readInto(b.fitMethod, prop("fitmethod"), "fitmethod", "a fit method", fit, p);
    readInto(b.margin, prop("margin"), "margin", "one or two non-negative numbers", margin, p);
    readInto(b.charSpacing, prop("charspacing"), "charspacing", "a number", finiteNumber, p);
    readInto(b.wordSpacing, prop("wordspacing"), "wordspacing", "a number", finiteNumber, p);
    readInto(b.horizScaling, prop("horizscaling"), "horizscaling", "a positive number", positive, p);
    readInto(b.lineWidth, prop("linewidth"), "linewidth", "a non-negative number", nonNegative, p);
    readInto(b.rotate, prop("rotate"), "rotate", "a number", finiteNumber, p);
    readInto(b.textFlow, prop("textflow"), "textflow", "a boolean", boolean, p);
    readInto(b.defaultText, prop("defaulttext"), "defaulttext", "a text", text, p);
    readInto(b.defaultImage, prop("defaultimage"), "defaultimage", "a text", text, p);
    return b;
}

std::vector<BlockDefinition> BlockReader::read(QPDFObjectHandle page) const
{
    QPDFObjectHandle blocks =
        dictEntry(dictEntry(dictEntry(dictEntry(page, "/PieceInfo"), "/PDFlib"), "/Private"), "/Blocks");
    std::vector<BlockDefinition> result;
    if (!blocks.isDictionary())
        return result;
    for (auto& [key, value] : blocks.ditems()) {
        if (value.isDictionary())
            result.push_back(readBlock(key.substr(1), value));
    }
    std::stable_sort(result.begin(), result.end(), [](const BlockDefinition& a, const BlockDefinition& b) {
        return a.name != b.name ? a.name < b.name : a.key < b.key;
    });
    return result;
}

const BlockDefinition* BlockReader::find(const std::vector<BlockDefinition>& blocks, std::string_view name)
{
    for (const BlockDefinition& b : blocks)
        if (b.name == name)
            return &b;
    for (const BlockDefinition& b : blocks)
        if (b.key == name)
            return &b;
    return nullptr;
}

}  // namespace pdfengine
