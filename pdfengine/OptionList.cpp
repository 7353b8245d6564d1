#include "pdfengine/OptionList.h"

#include <charconv>
#include <cmath>

#include "pdfengine/EngineError.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/TextEncoding.h"

namespace pdfengine {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// Reads the text of option lists: words, brace groups and blanks.
class Scanner {
public:
    Scanner(std::string_view text, std::string_view whole) : text_(text), whole_(whole) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    size_t pos() const { return pos_; }
    void seek(size_t pos) { pos_ = pos; }
    void advance() { ++pos_; }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(text_[pos_]))
            ++pos_;
    }

    // Up to a blank, a brace, or (for keys) an equals sign.
    std::string_view word(bool stopAtEquals)
    {
        size_t start = pos_;
        while (!atEnd()) {
            char c = text_[pos_];
            if (isBlank(c) || c == '{' || c == '}' || (stopAtEquals && c == '='))
                break;
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

    // At an opening brace: the text inside the matching closing brace.
    std::string_view group()
    {
        size_t start = ++pos_;
        int depth = 1;
        while (!atEnd()) {
            char c = text_[pos_++];
            if (c == '{') {
                ++depth;
            } else if (c == '}' && --depth == 0) {
                return text_.substr(start, pos_ - 1 - start);
            }
        }
        throw unbalanced();
    }

    // A word or a brace group; braced says which.
    std::string_view value(bool& braced)
    {
        braced = !atEnd() && peek() == '{';
        if (braced)
            return group();
        if (!atEnd() && peek() == '}')
            throw unbalanced();
        return word(false);
    }

    EngineError unbalanced() const
    {
        return EngineError(err::UnbalancedBraces, "Unbalanced braces in option list " + quoted(whole_));
    }

private:
    std::string_view text_;
    std::string_view whole_;
    size_t pos_ = 0;
};

bool parseBoolean(std::string_view text, bool& out)
{
    if (equalsNoCase(text, "true"))
        out = true;
    else if (equalsNoCase(text, "false"))
        out = false;
    else
        return false;
    return true;
}

std::string rangeText(const OptionDef& def)
{
    if (std::isfinite(def.min) && std::isfinite(def.max))
        return "between " + formatG(def.min) + " and " + formatG(def.max);
    if (std::isfinite(def.min))
        return "at least " + formatG(def.min);
    return "at most " + formatG(def.max);
}

double checkedNumber(std::string_view text, const OptionDef& def, bool integer)
{
    double value = 0;
    if (!parseNumber(text, value))
        throw EngineError(integer ? err::NotAnInteger : err::NotANumber,
                          "Option " + quoted(def.name) + " expects " + (integer ? "an integer" : "a number") +
                              ", not " + quoted(text));
    if (integer && value != std::floor(value))
        throw EngineError(err::NotAnInteger,
                          "Option " + quoted(def.name) + " expects an integer, not " + quoted(text));
    const bool outsideInt =
        integer && (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max());
    if (value < def.min || value > def.max || outsideInt)
        throw EngineError(err::OptionOutOfRange, "Option " + quoted(def.name) + " must be " + rangeText(def) +
                                                     ", not " + quoted(text));
    return value;
}

std::string keywordChoices(std::span<const std::string_view> keywords)
{
    std::string out;
    for (size_t i = 0; i < keywords.size(); ++i) {
        if (i > 0)
            out += i + 1 == keywords.size() ? " or " : ", ";
        out += keywords[i];
    }
    return out;
}

size_t checkedKeyword(std::string_view text, const OptionDef& def)
{
    for (size_t i = 0; i < def.keywords.size(); ++i)
        if (equalsNoCase(text, def.keywords[i]))
            return i;
    throw EngineError(err::UnknownKeyword, "Option " + quoted(def.name) + " does not accept " + quoted(text) +
                                               " (expected " + keywordChoices(def.keywords) + ")");
}

void checkItemCount(size_t count, const OptionDef& def)
{
    if (count >= def.minItems && count <= def.maxItems)
        return;
    std::string expected;
    if (def.minItems == def.maxItems)
        expected = std::to_string(def.minItems);
    else if (def.maxItems == std::numeric_limits<unsigned>::max())
        expected = "at least " + std::to_string(def.minItems);
    else
        expected = std::to_string(def.minItems) + " to " + std::to_string(def.maxItems);
    throw EngineError(err::WrongItemCount, "Option " + quoted(def.name) + " expects " + expected +
                                               (def.maxItems == 1 ? " value" : " values") + ", not " +
                                               std::to_string(count));
}

constexpr std::string_view colorSpaceNames[] = {"gray", "rgb", "cmyk"};

Color checkedColor(std::string_view text, const OptionDef& def)
{
    auto items = OptionList::splitItems(text);
    auto notAColor = [&] {
        return EngineError(err::NotAColor, "Option " + quoted(def.name) +
                                               " expects a colour such as {rgb 1 0 0}, not " + quoted(text));
    };
    if (items.empty())
        throw notAColor();
    Color color;
    size_t space = 0;
    while (space < std::size(colorSpaceNames) && !equalsNoCase(items[0], colorSpaceNames[space]))
        ++space;
    if (space == std::size(colorSpaceNames))
        throw notAColor();
    color.space = static_cast<ColorSpace>(space);
    if (items.size() != static_cast<size_t>(Color::componentCount(color.space)) + 1)
        throw notAColor();
    for (size_t i = 1; i < items.size(); ++i) {
        double value = 0;
        if (!parseNumber(items[i], value))
            throw notAColor();
        if (value < 0 || value > 1)
            throw EngineError(err::OptionOutOfRange,
                              "Option " + quoted(def.name) +
                                  " has a colour component out of range (0 to 1): " + quoted(items[i]));
        color.components[i - 1] = value;
    }
    return color;
}

}  // namespace

bool parseNumber(std::string_view text, double& out)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::general);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(out);
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

const OptionDef* OptionTable::find(std::string_view name) const
{
    for (const OptionDef& def : options)
        if (equalsNoCase(def.name, name))
            return &def;
    return nullptr;
}

std::vector<std::string_view> OptionList::splitItems(std::string_view value)
{
    std::vector<std::string_view> items;
    Scanner scanner(value, value);
    while (true) {
        scanner.skipBlanks();
        if (scanner.atEnd())
            break;
        bool braced = false;
        items.push_back(scanner.value(braced));
    }
    return items;
}

OptionList OptionList::parse(std::string_view text, const OptionTable& table)
{
    OptionList list;
    if (startsWithUtf8Bom(text)) {
        text.remove_prefix(utf8Bom.size());
        list.utf8_ = true;
    }
    list.text_.assign(text);
    const std::string_view all = list.text_;
    Scanner scanner(all, all);
    while (true) {
        scanner.skipBlanks();
        if (scanner.atEnd())
            break;
        char c = scanner.peek();
        if (c == '}')
            throw scanner.unbalanced();
        if (c == '{' || c == '=') {
            bool braced = false;
            std::string stray = "=";
            if (c == '{') {
                stray = '{';
                stray += scanner.value(braced);
                stray += '}';
            }
            throw EngineError(err::MissingOptionName, "Expected an option name instead of " + quoted(stray) +
                                                          " in option list " + quoted(all));
        }
        std::string_view key = scanner.word(true);
        const OptionDef* def = table.find(key);
        if (!def)
            throw EngineError(err::UnknownOption, "Unknown option " + quoted(key));
        Entry entry{def, 0, 0, false};
        scanner.skipBlanks();
        std::string_view valueText;
        bool haveValue = false;
        bool braced = false;
        if (!scanner.atEnd() && scanner.peek() == '=') {
            scanner.advance();
            if (scanner.atEnd() || isBlank(scanner.peek()))
                throw EngineError(err::MissingValue, "Option " + quoted(def->name) + " has no value");
            valueText = scanner.value(braced);
            haveValue = true;
        } else if (def->type == OptionType::Boolean) {
            // "key value" for a boolean only when the value is true or false;
            // otherwise the key stands alone and the word is the next key.
            size_t mark = scanner.pos();
            if (!scanner.atEnd() && scanner.peek() != '}') {
                std::string_view candidate = scanner.value(braced);
                bool ignored = false;
                if (parseBoolean(candidate, ignored)) {
                    valueText = candidate;
                    haveValue = true;
                } else {
                    scanner.seek(mark);
                }
            }
            entry.alone = !haveValue;
        } else {
            if (scanner.atEnd())
                throw EngineError(err::MissingValue, "Option " + quoted(def->name) + " has no value");
            valueText = scanner.value(braced);
            haveValue = true;
        }
        if (haveValue) {
            entry.offset = static_cast<uint32_t>(valueText.data() - all.data());
            entry.length = static_cast<uint32_t>(valueText.size());
        }
        list.check(entry);
        list.entries_.push_back(entry);
    }
    return list;
}

void OptionList::check(const Entry& entry) const
{
    const OptionDef& def = *entry.def;
    const std::string_view text = value(entry);
    switch (def.type) {
        case OptionType::Boolean: {
            bool ignored = false;
            if (!entry.alone && !parseBoolean(text, ignored))
                throw EngineError(err::NotABoolean, "Option " + quoted(def.name) +
                                                        " expects true or false, not " + quoted(text));
            break;
        }
        case OptionType::Number:
        case OptionType::Integer:
            checkedNumber(text, def, def.type == OptionType::Integer);
            break;
        case OptionType::Keyword:
            checkedKeyword(text, def);
            break;
        case OptionType::KeywordList: {
            auto items = splitItems(text);
            checkItemCount(items.size(), def);
            for (auto item : items)
                checkedKeyword(item, def);
            break;
        }
        case OptionType::NumberList: {
            auto items = splitItems(text);
            checkItemCount(items.size(), def);
            for (auto item : items)
                checkedNumber(item, def, false);
            break;
        }
        case OptionType::List:
            checkItemCount(splitItems(text).size(), def);
            break;
        case OptionType::Color:
            checkedColor(text, def);
            break;
        case OptionType::OptionList:
            parse(text, *def.nested);
            break;
        case OptionType::String:
            break;
    }
}

const OptionList::Entry* OptionList::find(std::string_view name) const
{
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (equalsNoCase(it->def->name, name))
            return &*it;
    return nullptr;
}

std::string_view OptionList::value(const Entry& entry) const
{
    return std::string_view(text_).substr(entry.offset, entry.length);
}

bool OptionList::getBool(std::string_view name, bool fallback) const
{
    const Entry* entry = find(name);
    if (!entry)
        return fallback;
    bool result = true;
    if (!entry->alone)
        parseBoolean(value(*entry), result);
    return result;
}

double OptionList::getNumber(std::string_view name, double fallback) const
{
    const Entry* entry = find(name);
    return entry ? checkedNumber(value(*entry), *entry->def, false) : fallback;
}

int OptionList::getInteger(std::string_view name, int fallback) const
{
    const Entry* entry = find(name);
    return entry ? static_cast<int>(checkedNumber(value(*entry), *entry->def, true)) : fallback;
}

size_t OptionList::getKeyword(std::string_view name, size_t fallback) const
{
    const Entry* entry = find(name);
    return entry ? checkedKeyword(value(*entry), *entry->def) : fallback;
}

std::vector<size_t> OptionList::getKeywords(std::string_view name) const
{
    std::vector<size_t> result;
    if (const Entry* entry = find(name))
        for (auto item : splitItems(value(*entry)))
            result.push_back(checkedKeyword(item, *entry->def));
    return result;
}

std::string_view OptionList::getString(std::string_view name) const
{
    const Entry* entry = find(name);
    return entry ? value(*entry) : std::string_view();
}

std::vector<double> OptionList::getNumbers(std::string_view name) const
{
    std::vector<double> result;
    if (const Entry* entry = find(name))
        for (auto item : splitItems(value(*entry)))
            result.push_back(checkedNumber(item, *entry->def, false));
    return result;
}

Color OptionList::getColor(std::string_view name, const Color& fallback) const
{
    const Entry* entry = find(name);
    return entry ? checkedColor(value(*entry), *entry->def) : fallback;
}

OptionList OptionList::getOptionList(std::string_view name) const
{
    const Entry* entry = find(name);
    if (!entry)
        return OptionList();
    OptionList nested = parse(value(*entry), *entry->def->nested);
    nested.utf8_ = nested.utf8_ || utf8_;
    return nested;
}

std::vector<std::string_view> OptionList::getItems(std::string_view name) const
{
    const Entry* entry = find(name);
    return entry ? splitItems(value(*entry)) : std::vector<std::string_view>();
}

std::vector<std::string_view> OptionList::getAll(std::string_view name) const
{
    std::vector<std::string_view> result;
    for (const Entry& entry : entries_)
        if (equalsNoCase(entry.def->name, name))
            result.push_back(value(entry));
    return result;
}

}  // namespace pdfengine
