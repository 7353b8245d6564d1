// The profile reader against the reading rules written out plainly: every line split,
// every name folded into a copy, nothing kept between look-ups. The plain reader is
// slow but easy to check against docs/configuration.md; the library's reader, with its
// section table, key tables, indexes of long sections and remembered sections, must
// give the same answers on any file.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace std::string_literals;
using testsupport::TempDir;
using testsupport::writeFile;

bool isLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

size_t charLength(std::string_view text, size_t i)
{
    return isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                   isTrail(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string fold(std::string_view name)
{
    std::string folded;
    for (size_t i = 0; i < name.size();) {
        size_t length = charLength(name, i);
        std::string character(name.substr(i, length));
        if (length == 1 && character[0] >= 'A' && character[0] <= 'Z')
            character[0] = static_cast<char>(character[0] - 'A' + 'a');
        folded += character;
        i += length;
    }
    return folded;
}

std::string_view withoutQuotes(std::string_view text)
{
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

// At most limit bytes of text, whole characters only.
std::string cut(std::string_view text, size_t limit)
{
    size_t used = 0;
    while (used < text.size() && used + charLength(text, used) <= limit)
        used += charLength(text, used);
    return std::string(text.substr(0, used));
}

int32_t plainInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    uint64_t base = 10;
    if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0o" || text.substr(i, 2) == "0b") {
        base = text[i + 1] == 'x' ? 16 : text[i + 1] == 'o' ? 8 : 2;
        i += 2;
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        std::string digits = "0123456789abcdef";
        size_t digit = digits.find(static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
        if (digit == std::string::npos || digit >= base)
            break;
        value = (value * base + digit) % (uint64_t{1} << 32);
    }
    if (negative)
        value = ((uint64_t{1} << 32) - value) % (uint64_t{1} << 32);
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

class PlainReader {
public:
    explicit PlainReader(const std::string& text)
    {
        std::map<std::string, std::string>* current = nullptr;
        bool headerSeen = false;
        for (std::string_view line : lines(text)) {
            line = line.substr(0, line.find('\0'));
            std::string_view trimmed = trim(line);
            if (!trimmed.empty() && trimmed.front() == '[') {
                size_t close = std::string_view::npos;
                for (size_t i = 1; i < trimmed.size(); i += charLength(trimmed, i)) {
                    if (trimmed[i] == ']')
                        close = i;
                }
                if (close == std::string_view::npos)
                    continue;
                std::string_view name = trim(trimmed.substr(1, close - 1));
                names_.emplace_back(name);
                headerSeen = true;
                current = open(name);
                continue;
            }
            size_t equals = line.find('=');
            if (equals == std::string_view::npos)
                continue;
            if (!headerSeen && !current && sections_.count("") == 0)
                current = open("");
            if (current)
                current->try_emplace(fold(trim(line.substr(0, equals))),
                                     withoutQuotes(trim(line.substr(equals + 1))));
        }
    }

    std::optional<std::string> value(std::string_view section, std::string_view key) const
    {
        auto found = sections_.find(fold(trim(section)));
        if (found == sections_.end())
            return std::nullopt;
        auto entry = found->second.find(fold(trim(key)));
        if (entry == found->second.end())
            return std::nullopt;
        return entry->second;
    }
    const std::vector<std::string>& sectionNames() const { return names_; }

private:
    static std::vector<std::string_view> lines(std::string_view text)
    {
        std::vector<std::string_view> result;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                result.push_back(text.substr(start));
                break;
            }
            result.push_back(text.substr(start, end - start));
            start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        return result;
    }
    // The keys of a new section; none when a section of that name came before.
    std::map<std::string, std::string>* open(std::string_view name)
    {
        auto [entry, added] = sections_.try_emplace(fold(name));
        return added ? &entry->second : nullptr;
    }

    std::map<std::string, std::map<std::string, std::string>> sections_;
    std::vector<std::string> names_;
};

// Random files made of the pieces the rules care about: headers with and without
// their bracket, names that differ in case or only in a trail byte, blanks, quotes,
// zero bytes, every line break, sections of one name twice, long sections.
class FileMaker {
public:
    explicit FileMaker(uint32_t seed) : random_(seed) {}

    const std::vector<std::string>& names() const { return names_; }

    std::string file()
    {
        std::string text;
        int lineCount = pick(0, 40);
        for (int i = 0; i < lineCount; ++i) {
            int kind = pick(0, 19);
            if (kind < 3)
                text += header();
            else if (kind < 15)
                text += keyLine();
            else if (kind < 16)
                text += longSection();
            else
                text += noise();
            if (i + 1 < lineCount || pick(0, 1) == 0)
                text += lineBreak();
        }
        return text;
    }

    std::string name() { return names_[pick(0, static_cast<int>(names_.size()) - 1)]; }
    // A name as it might be asked for: another case, blanks around it.
    std::string askedName(const std::string& name)
    {
        std::string asked = blanks() + name + blanks();
        for (char& c : asked) {
            if (pick(0, 3) == 0 && std::isalpha(static_cast<unsigned char>(c)))
                c = static_cast<char>(std::isupper(static_cast<unsigned char>(c))
                                          ? std::tolower(static_cast<unsigned char>(c))
                                          : std::toupper(static_cast<unsigned char>(c)));
        }
        return asked;
    }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::string blanks() { return std::vector<std::string>{"", "", "", " ", "\t", " \t "}[pick(0, 5)]; }
    std::string lineBreak()
    {
        return std::vector<std::string>{"\r\n", "\r\n", "\n", "\r", "\n\r"}[pick(0, 4)];
    }
    std::string value()
    {
        static const std::vector<std::string> values = {"",
                                                        "v",
                                                        "Value",
                                                        "\"q\"",
                                                        "' q '",
                                                        "\"",
                                                        "'x\"",
                                                        "\"\"",
                                                        "12",
                                                        "-0x1F",
                                                        "0b1012",
                                                        "+7",
                                                        "0o17",
                                                        "4294967297",
                                                        "  42",
                                                        std::string(40, '7'),
                                                        "a=b",
                                                        "[s]",
                                                        "\x82\xA0\x82\xA0",
                                                        "ab\x82\xA0"
                                                        "c",
                                                        "x\x83",
                                                        "\x83\x5D]",
                                                        "0x",
                                                        "-",
                                                        "\x95\x5C\x81\x5B"};
        std::string text = values[pick(0, static_cast<int>(values.size()) - 1)];
        if (pick(0, 15) == 0)
            text += "\0tail"s;
        return text;
    }
    std::string header()
    {
        static const std::vector<std::string> closings = {"]", "]", "]", "", "] extra", "]x]", "]=1"};
        return blanks() + "[" + blanks() + name() + blanks() + closings[pick(0, 6)] + blanks();
    }
    std::string keyLine() { return blanks() + name() + blanks() + "=" + blanks() + value() + blanks(); }
    std::string longSection()
    {
        // Past the size from which a section gets an index of its keys, or past the
        // number of keys a reader keeps at hand.
        std::string text = "[" + name() + "]";
        int keys = pick(0, 1) == 0 ? pick(25, 40) : pick(200, 300);
        for (int i = 0; i < keys; ++i)
            text += lineBreak() + (pick(0, 9) == 0 ? name() : "K" + std::to_string(pick(0, 300))) + "=" +
                    std::to_string(i) + " value";
        return text;
    }
    std::string noise()
    {
        static const std::string bytes = "[]= \taA\x83\x5D\"'k0\x81"s + "\0"s;
        std::string text;
        for (int n = pick(0, 12); n > 0; --n)
            text += bytes[pick(0, static_cast<int>(bytes.size()) - 1)];
        return text;
    }

    std::mt19937 random_;
    // Names that fold together, names that differ in a trail byte only ("\x83\x41" is
    // ア, "\x83\x61" ヂ), a trail byte that looks like "]", a lone lead byte.
    std::vector<std::string> names_ = {
        "a",        "A",        "b",      "Key", "KEY", "key",     "k y",     "",   "\x83\x41",    "\x83\x61",
        "\x83\x5D", "\x95\x5C", "ab\x82", "[x",  "x]",  "PUT_1_1", "put_1_1", "K7", "object_type", "k150"};
};

std::string escaped(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            out += code;
        }
    }
    return out;
}

// Compares every way of reading one file with the plain reader; false at the first
// difference, which is reported.
bool agrees(const std::string& path, const std::string& text, FileMaker& maker)
{
    PlainReader plain(text);
    std::vector<std::string> sections = maker.names();
    sections.insert(sections.end(), plain.sectionNames().begin(), plain.sectionNames().end());

    if (platform::getPrivateProfileSectionNames(path.c_str()) != plain.sectionNames()) {
        ADD_FAILURE() << "section names differ in file \"" << escaped(text) << "\"";
        return false;
    }
    // Readers of several sections alive at once, asked in turn.
    std::vector<std::string> asked;
    std::vector<std::unique_ptr<platform::ProfileSection>> readers;
    for (const std::string& section : sections) {
        asked.push_back(maker.askedName(section));
        readers.push_back(std::make_unique<platform::ProfileSection>(path.c_str(), asked.back().c_str()));
    }
    // A few keys of each section in turn, so that the readers take turns.
    for (int round = 0; round < 6; ++round) {
        for (size_t s = 0; s < sections.size(); ++s) {
            std::string key =
                maker.askedName(round == 0 ? "K" + std::to_string(maker.pick(0, 300)) : maker.name());
            std::optional<std::string> expected = plain.value(asked[s], key);
            uint32_t size = static_cast<uint32_t>(maker.pick(1, 48));
            std::string wanted = cut(expected ? *expected : "dflt", size - 1);
            std::string integerText = expected ? cut(*expected, 29) : "";
            int32_t wantedInteger = integerText.empty() ? -5 : plainInteger(integerText);

            char buffer[64];
            uint32_t length = platform::getPrivateProfileString(asked[s].c_str(), key.c_str(), "dflt", buffer,
                                                                size, path.c_str());
            char again[64];
            uint32_t lengthAgain = readers[s]->getString(key.c_str(), "dflt", again, size);
            int32_t integer = platform::getPrivateProfileInt(asked[s].c_str(), key.c_str(), -5, path.c_str());
            int32_t integerAgain = readers[s]->getInt(key.c_str(), -5);
            if (std::string(buffer, length) != wanted || std::string(again, lengthAgain) != wanted ||
                buffer[length] != '\0' || again[lengthAgain] != '\0' || integer != wantedInteger ||
                integerAgain != wantedInteger) {
                ADD_FAILURE() << "[" << escaped(asked[s]) << "] " << escaped(key) << " (size " << size
                              << "): expected \"" << escaped(wanted) << "\" / " << wantedInteger
                              << ", read \"" << escaped(std::string(buffer, length)) << "\", \""
                              << escaped(std::string(again, lengthAgain)) << "\" / " << integer << ", "
                              << integerAgain << " in file \"" << escaped(text) << "\"";
                return false;
            }
        }
    }
    return true;
}

TEST(ProfileAgreementTest, RandomFilesReadAsThePlainRulesSay)
{
    TempDir dir;
    FileMaker maker(20240611);
    for (int n = 0; n < 600; ++n) {
        std::string path = dir.file("random" + std::to_string(n) + ".conf");
        std::string text = maker.file();
        writeFile(path, text);
        // Every other file within one read scope, where the file is checked only once.
        std::optional<platform::ProfileReadScope> scope;
        if (n % 2 == 0)
            scope.emplace();
        if (!agrees(path, text, maker))
            return;
    }
}

}  // namespace
