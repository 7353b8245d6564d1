// Option lists: "key=value", "key value" or "key {value}" separated by
// blanks; braces nest and group lists; a boolean key standing alone means
// true; keys are compared without case. Every call parses its list against a
// table of the keys it allows (OptionTables.h), so unknown keys, values of the
// wrong type and values out of range are reported at parse time, naming the
// option. A list that begins with the UTF-8 mark has UTF-8 texts.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pdfengine/Color.h"

namespace pdfengine {

enum class OptionType {
    Boolean,      // true, false, or the key alone
    Number,       // a finite decimal number within [min, max]
    Integer,      // a whole number within [min, max]
    Keyword,      // one of `keywords`
    KeywordList,  // zero or more of `keywords`
    String,       // any text; braces keep its blanks
    NumberList,   // minItems to maxItems numbers, each within [min, max]
    Color,        // {gray g}, {rgb r g b} or {cmyk c m y k}, components 0 to 1
    OptionList,   // a nested option list checked against `nested`
    List,         // blank-separated items; braced items keep their blanks
};

// ASCII letters compared without case, as option keys and keywords are.
bool equalsNoCase(std::string_view a, std::string_view b);

// A finite decimal number as option values write it (an optional sign, no
// blanks); false for anything else.
bool parseNumber(std::string_view text, double& out);

struct OptionTable;

struct OptionDef {
    std::string_view name;
    OptionType type;
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
    std::span<const std::string_view> keywords{};
    const OptionTable* nested = nullptr;
    unsigned minItems = 0;
    unsigned maxItems = std::numeric_limits<unsigned>::max();
};

struct OptionTable {
    std::span<const OptionDef> options;

    const OptionDef* find(std::string_view name) const;
};

class OptionList {
public:
    OptionList() = default;

    // Throws EngineError (1xxx) for a list that does not conform to `table`.
    static OptionList parse(std::string_view text, const OptionTable& table);

    bool empty() const { return entries_.empty(); }
    // How many options the list gives, repeated ones counted each time.
    size_t size() const { return entries_.size(); }
    bool has(std::string_view name) const { return find(name) != nullptr; }
    // Whether the list began with the UTF-8 mark.
    bool utf8() const { return utf8_; }

    // Typed access to the last occurrence of an option, or the fallback when
    // the option is absent. Values were checked by parse().
    bool getBool(std::string_view name, bool fallback) const;
    double getNumber(std::string_view name, double fallback) const;
    int getInteger(std::string_view name, int fallback) const;
    // The index of the keyword in the option's table entry.
    size_t getKeyword(std::string_view name, size_t fallback) const;
    std::vector<size_t> getKeywords(std::string_view name) const;
    std::string_view getString(std::string_view name) const;
    std::vector<double> getNumbers(std::string_view name) const;
    Color getColor(std::string_view name, const Color& fallback = {}) const;
    OptionList getOptionList(std::string_view name) const;
    std::vector<std::string_view> getItems(std::string_view name) const;
    // Every occurrence of a repeatable option, in order.
    std::vector<std::string_view> getAll(std::string_view name) const;

    // The items of a list value: blank-separated, braced items without their
    // braces.
    static std::vector<std::string_view> splitItems(std::string_view value);

private:
    struct Entry {
        const OptionDef* def;
        uint32_t offset;
        uint32_t length;
        bool alone;  // a boolean key without a value
    };

    const Entry* find(std::string_view name) const;
    std::string_view value(const Entry& entry) const;
    void check(const Entry& entry) const;

    std::string text_;
    std::vector<Entry> entries_;
    bool utf8_ = false;
};

}  // namespace pdfengine
