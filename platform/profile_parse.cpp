#include "platform/profile_parse.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/profile_encoding.h"

namespace platform::profile_detail {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// ASCII bytes are characters of their own (and never lead bytes): the quick test.
bool singleByte(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

char foldByte(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The position of the last "]" character after position from, or npos.
size_t lastClosingBracket(std::string_view line, size_t from)
{
    size_t found = std::string_view::npos;
    for (size_t i = from; i < line.size(); i += characterLength(line, i)) {
        if (line[i] == ']')
            found = i;
    }
    return found;
}

// A hash of a name with its letters folded; a name folded already hashes the same,
// since folding moves no character boundary.
uint32_t foldedHash(std::string_view name)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < name.size();) {
        size_t length = singleByte(name[i]) ? 1 : characterLength(name, i);
        for (size_t k = 0; k < length; ++k) {
            char c = length == 1 ? foldByte(name[i]) : name[i + k];
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        }
        i += length;
    }
    return hash;
}

}  // namespace

bool sameNameOfSameSize(std::string_view name, std::string_view other)
{
    // Names that fold to the same text have the same character boundaries.
    for (size_t i = 0; i < name.size();) {
        size_t length = singleByte(name[i]) ? 1 : characterLength(name, i);
        if (length == 1 ? foldByte(name[i]) != foldByte(other[i]) : name.compare(i, 2, other, i, 2) != 0)
            return false;
        i += length;
    }
    return true;
}

namespace {

// What a line holds (up to a zero byte, before its line break; not trimmed) and where
// its first "=" is.
struct Line {
    std::string_view text;
    size_t equals = std::string_view::npos;
};

// The lines of text[begin, end) one after another. CR LF, LF and a lone CR all end a
// line; no trail byte is CR, LF, "=" or a zero byte, so the bytes can be looked at one
// by one. Lines are short: one plain pass finds everything a line needs.
class LineReader {
public:
    LineReader(std::string_view text, size_t begin, size_t end) : text_(text), pos_(begin), end_(end) {}

    // The next line, and where it starts; false at the end.
    bool next(Line& line, size_t& start)
    {
        if (pos_ >= end_)
            return false;
        start = pos_;
        const char* data = text_.data();
        size_t i = pos_, zero = std::string_view::npos, equals = std::string_view::npos;
        for (; i < end_; ++i) {
            char c = data[i];
            if (static_cast<unsigned char>(c) > '=')
                continue;
            if (c == '\n' || c == '\r')
                break;
            if (c == '\0' && zero == std::string_view::npos)
                zero = i;
            else if (c == '=' && equals == std::string_view::npos && zero == std::string_view::npos)
                equals = i - pos_;
        }
        line.text = text_.substr(pos_, (zero == std::string_view::npos ? i : zero) - pos_);
        line.equals = equals;
        pos_ = i;
        if (pos_ < end_)
            pos_ += (data[pos_] == '\r' && pos_ + 1 < end_ && data[pos_ + 1] == '\n') ? 2 : 1;
        return true;
    }
    // Passes over the next line. Most lines are passed over this way while a file is
    // parsed: the library's searches take them at a stride.
    void skip()
    {
        const char* data = text_.data();
        // The next LF is remembered, so that a file of lone CRs is not searched to its
        // end for every line.
        if (!newlineKnown_ || nextNewline_ < pos_) {
            const void* found = std::memchr(data + pos_, '\n', end_ - pos_);
            nextNewline_ = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : end_;
            newlineKnown_ = true;
        }
        if (const void* cr = std::memchr(data + pos_, '\r', nextNewline_ - pos_)) {
            pos_ = static_cast<size_t>(static_cast<const char*>(cr) - data) + 1;
            if (pos_ < end_ && data[pos_] == '\n')
                ++pos_;
        } else {
            pos_ = nextNewline_ < end_ ? nextNewline_ + 1 : end_;
        }
    }
    // Where the next line starts.
    size_t position() const { return pos_; }

private:
    std::string_view text_;
    size_t pos_;
    size_t end_;
    size_t nextNewline_ = 0;  // the first LF at or after pos_, when known
    bool newlineKnown_ = false;
};

// The next key line of lines; false at the end. A line whose first non-blank character
// is "[" is no key, nor is a line without "=".
bool nextKey(LineReader& lines, ProfileKey& key)
{
    Line line;
    size_t start = 0;
    while (lines.next(line, start)) {
        if (line.equals == std::string_view::npos)
            continue;
        key.name = trimBlanks(line.text.substr(0, line.equals));
        if (!key.name.empty() && key.name.front() == '[')
            continue;
        key.value = unquote(line.text.substr(line.equals + 1));
        return true;
    }
    return false;
}

// The name between the brackets of a header line, or none when the line is no header.
std::optional<std::string_view> headerName(std::string_view content)
{
    if (content.empty() || content.front() != '[')
        return std::nullopt;
    size_t close = lastClosingBracket(content, 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(content.substr(1, close - 1));
}

// The header lines of a text, one after another. A line is looked at closer only when
// its first non-blank character is "[" or, before the first header, to see whether it
// is a key line.
class HeaderWalk {
public:
    explicit HeaderWalk(std::string_view text) : text_(text), lines_(text, 0, text.size()) {}

    // The next header's name (as written, blanks trimmed) and where its line starts;
    // false at the end.
    bool next(std::string_view& name, size_t& start)
    {
        Line line;
        while (lines_.position() < text_.size()) {
            size_t first = lines_.position();
            while (first < text_.size() && isBlank(text_[first]))
                ++first;
            if (headerSeen_ && (first == text_.size() || text_[first] != '[')) {
                lines_.skip();
                continue;
            }
            lines_.next(line, start);
            first -= start;
            if (first >= line.text.size())
                continue;
            if (std::optional<std::string_view> header = headerName(trimBlanks(line.text))) {
                headerSeen_ = true;
                name = *header;
                return true;
            }
            if (!headerSeen_ && line.text[first] != '[' && line.equals != std::string_view::npos)
                keysBeforeHeader_ = true;
        }
        return false;
    }
    // Where the line after the last header starts.
    size_t position() const { return lines_.position(); }
    // Whether a key line came before the first header.
    bool keysBeforeHeader() const { return keysBeforeHeader_; }

private:
    std::string_view text_;
    LineReader lines_;
    bool headerSeen_ = false;
    bool keysBeforeHeader_ = false;
};

// A section this long gets an index of its keys when it is first read.
constexpr size_t indexedFrom = 2048;

}  // namespace

std::string_view trimBlanks(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    // Blanks are single bytes below every trail byte, so the end can be trimmed bytewise.
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string foldLetters(std::string_view text)
{
    std::string folded(text);
    for (size_t i = 0; i < folded.size();) {
        size_t length = singleByte(folded[i]) ? 1 : characterLength(folded, i);
        if (length == 1)
            folded[i] = foldByte(folded[i]);
        i += length;
    }
    return folded;
}

std::string_view stripQuotePair(std::string_view text)
{
    // Quotes are single bytes below every trail byte, so the last byte can be tested.
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

ProfileData::ProfileData(std::string bytes) : text_(std::move(bytes))
{
    convertMarkedText(text_);
    parse();
}

ProfileData::~ProfileData() = default;

void ProfileData::addSection(std::string_view name, size_t bodyBegin)
{
    size_t mask = slots_.size() - 1;
    for (size_t slot = foldedHash(name) & mask;; slot = (slot + 1) & mask) {
        if (slots_[slot] == 0) {
            sections_.push_back(Section{name, bodyBegin, text_.size(), nullptr});
            slots_[slot] = static_cast<uint32_t>(sections_.size());
            return;
        }
        // The first section of a name wins; a repeated one is ignored with its keys.
        const Section& existing = sections_[slots_[slot] - 1];
        if (sameName(existing.name, name))
            return;
    }
}

void ProfileData::parse()
{
    std::string_view text(text_);
    // Every header holds a "[": the table gets room for all of them, at most half full.
    size_t headers = static_cast<size_t>(std::count(text.begin(), text.end(), '['));
    size_t capacity = 16;
    while (capacity < 2 * (headers + 1))
        capacity *= 2;
    slots_.assign(capacity, 0);
    sections_.reserve(headers + 1);

    HeaderWalk walk(text);
    std::string_view name;
    size_t start = 0;
    constexpr size_t none = SIZE_MAX;
    size_t open = none;  // the section whose body is being read
    auto addOpen = [&](std::string_view sectionName, size_t bodyBegin) {
        size_t before = sections_.size();
        addSection(sectionName, bodyBegin);
        open = sections_.size() > before ? before : none;
    };
    bool headerSeen = false;
    while (walk.next(name, start)) {
        // Keys before the first header belong to a section of the empty name.
        if (!headerSeen && walk.keysBeforeHeader())
            addOpen(std::string_view(), 0);
        headerSeen = true;
        if (open != none)
            sections_[open].bodyEnd = start;
        addOpen(name, walk.position());
    }
    if (!headerSeen && walk.keysBeforeHeader())
        addOpen(std::string_view(), 0);
    if (open != none)
        sections_[open].bodyEnd = text.size();
}

std::vector<std::string> ProfileData::sectionNames() const
{
    // Asked for seldom: the headers are found again rather than kept.
    std::vector<std::string> names;
    HeaderWalk walk(text_);
    std::string_view name;
    size_t start = 0;
    while (walk.next(name, start))
        names.emplace_back(name);
    return names;
}

const ProfileData::Section* ProfileData::section(std::string_view name) const
{
    size_t mask = slots_.size() - 1;
    for (size_t slot = foldedHash(name) & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        const Section& candidate = sections_[slots_[slot] - 1];
        if (sameName(candidate.name, name))
            return &candidate;
    }
    return nullptr;
}

size_t ProfileData::keys(const Section& section, ProfileKey* out, size_t capacity) const
{
    LineReader lines(text_, section.bodyBegin, section.bodyEnd);
    size_t count = 0;
    ProfileKey key;
    while (nextKey(lines, key)) {
        if (count == capacity)
            return capacity + 1;
        out[count++] = key;
    }
    return count;
}

bool ProfileData::isLong(const Section& section)
{
    return section.bodyEnd - section.bodyBegin >= indexedFrom;
}

std::optional<std::string_view> ProfileData::find(const Section& section, std::string_view key) const
{
    std::optional<std::string_view> found;
    LineReader lines(text_, section.bodyBegin, section.bodyEnd);
    ProfileKey line;
    if (!isLong(section)) {
        // The first key of a name wins.
        while (nextKey(lines, line)) {
            if (sameName(line.name, key))
                return line.value;
        }
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(indexMutex_);
    if (!section.index) {
        auto index = std::make_unique<std::unordered_map<std::string, std::string_view>>();
        while (nextKey(lines, line))
            index->try_emplace(foldLetters(line.name), line.value);
        section.index = std::move(index);
    }
    auto entry = section.index->find(std::string(key));
    if (entry != section.index->end())
        found = entry->second;
    return found;
}

}  // namespace platform::profile_detail
