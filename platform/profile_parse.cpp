#include "platform/profile_parse.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/profile_encoding.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A hash of a name that names which are the same once their letters are folded share.
// Every byte is folded as a letter would be, trail bytes too: that merges a few names
// that differ, which the table's comparison tells apart.
uint32_t foldedHash(std::string_view name)
{
    uint32_t hash = 2166136261u;
    for (char c : name)
        hash = (hash ^ (static_cast<unsigned char>(c) | 0x20u)) * 16777619u;
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

// The bytes a line is read up to: a line break, a zero byte or "=".
bool isStop(char c)
{
    return c == '\n' || c == '\r' || c == '\0' || c == '=';
}

// A bit for each stop byte of text[at, at + 16) before end (bit 0 for at itself).
// Lines are short, and looking at every byte on its own costs more than the rest of
// reading a key: where the processor can, the sixteen bytes are compared together.
uint32_t stopMarks(std::string_view text, size_t at, size_t end)
{
    constexpr size_t chunk = 16;
    uint32_t marks = 0;
#if defined(__SSE2__)
    // The chunk may reach past the end, as long as it stays within the text.
    if (at + chunk <= text.size()) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
                                     _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_setzero_si128()),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('='))));
        marks = static_cast<uint32_t>(_mm_movemask_epi8(stops));
        return end - at < chunk ? marks & ((uint32_t{1} << (end - at)) - 1) : marks;
    }
#endif
    for (size_t k = 0; k < chunk && at + k < end; ++k) {
        if (isStop(text[at + k]))
            marks |= uint32_t{1} << k;
    }
    return marks;
}

// Calls found(key) for each key line of text[begin, end), in file order. The lines are
// told apart by their stop bytes alone: a line ends at CR, LF or CR LF, what it holds
// ends at its first zero byte, and its name at its first "=". A line whose name begins
// with "[" is no key, nor is a line without "=".
template <typename Found>
void forEachKey(std::string_view text, size_t begin, size_t end, Found found)
{
    constexpr size_t none = std::string_view::npos;
    size_t lineStart = begin, equals = none, zero = none;
    auto endLine = [&](size_t lineEnd) {
        if (equals != none) {
            std::string_view name = trimBlanks(text.substr(lineStart, equals - lineStart));
            if (name.empty() || name.front() != '[') {
                size_t valueEnd = zero != none ? zero : lineEnd;
                found(ProfileKey{name, unquote(text.substr(equals + 1, valueEnd - equals - 1)), 0});
            }
        }
        equals = zero = none;
    };
    for (size_t chunk = begin; chunk < end; chunk += 16) {
        for (uint32_t marks = stopMarks(text, chunk, end); marks != 0; marks &= marks - 1) {
            size_t at = chunk + static_cast<size_t>(std::countr_zero(marks));
            char c = text[at];
            if (c == '=') {
                if (equals == none && zero == none)
                    equals = at;
            } else if (c == '\0') {
                if (zero == none)
                    zero = at;
            } else {
                // The LF of a CR LF ends an empty line after the one the CR ended.
                endLine(at);
                lineStart = at + 1;
            }
        }
    }
    if (lineStart < end)
        endLine(end);
}

// The lines of text[begin, end) one after another. CR LF, LF and a lone CR all end a
// line; no trail byte is CR, LF, "=" or a zero byte, so the bytes can be looked at one
// by one.
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
        for (;; ++i) {
            while (i < end_ && !isStop(data[i]))
                ++i;
            if (i == end_ || data[i] == '\n' || data[i] == '\r')
                break;
            if (data[i] == '\0' && zero == std::string_view::npos)
                zero = i;
            else if (data[i] == '=' && equals == std::string_view::npos && zero == std::string_view::npos)
                equals = i - pos_;
        }
        line.text = text_.substr(pos_, (zero == std::string_view::npos ? i : zero) - pos_);
        line.equals = equals;
        pos_ = i;
        if (pos_ < end_)
            pos_ += (data[pos_] == '\r' && pos_ + 1 < end_ && data[pos_ + 1] == '\n') ? 2 : 1;
        return true;
    }
    // Where the next line starts.
    size_t position() const { return pos_; }
    // Goes on from position, which must be where a line starts.
    void moveTo(size_t position) { pos_ = position; }

private:
    std::string_view text_;
    size_t pos_;
    size_t end_;
};

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

// The header lines of a text, one after another. Before the first header every line
// is read, to see whether there are keys; after it only lines whose first non-blank
// character is "[" are, and they are found by searching for "[".
class HeaderWalk {
public:
    explicit HeaderWalk(std::string_view text) : text_(text), lines_(text, 0, text.size()) {}

    // The next header's name (as written, blanks trimmed) and where its line starts;
    // false at the end.
    bool next(std::string_view& name, size_t& start)
    {
        Line line;
        while (headerSeen_ ? toBracketLine() : lines_.position() < text_.size()) {
            lines_.next(line, start);
            std::string_view content = trimBlanks(line.text);
            if (content.empty())
                continue;
            if (std::optional<std::string_view> header = headerName(content)) {
                headerSeen_ = true;
                name = *header;
                return true;
            }
            if (!headerSeen_ && content.front() != '[' && line.equals != std::string_view::npos)
                keysBeforeHeader_ = true;
        }
        return false;
    }
    // Where the line after the last header starts.
    size_t position() const { return lines_.position(); }
    // Whether a key line came before the first header.
    bool keysBeforeHeader() const { return keysBeforeHeader_; }

private:
    // Moves to the next line whose first non-blank character is "["; false when there
    // is none.
    bool toBracketLine()
    {
        const char* data = text_.data();
        size_t from = lines_.position();
        while (from < text_.size()) {
            const void* found = std::memchr(data + from, '[', text_.size() - from);
            if (!found)
                break;
            size_t bracket = static_cast<size_t>(static_cast<const char*>(found) - data);
            size_t lineStart = bracket;
            while (lineStart > lines_.position() && isBlank(data[lineStart - 1]))
                --lineStart;
            // Blanks and line breaks are never lead bytes, so this "[" is a character
            // of its own.
            if (lineStart == lines_.position() || data[lineStart - 1] == '\n' ||
                data[lineStart - 1] == '\r') {
                lines_.moveTo(lineStart);
                return true;
            }
            from = bracket + 1;
        }
        lines_.moveTo(text_.size());
        return false;
    }

    std::string_view text_;
    LineReader lines_;
    bool headerSeen_ = false;
    bool keysBeforeHeader_ = false;
};

// A section this long gets an index of its keys when it is first read.
constexpr size_t indexedFrom = 2048;

// How many headers are read at a time when a section not yet read is asked for.
constexpr int headersPerBatch = 256;

}  // namespace

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

// Where the reading of the headers is.
struct ProfileData::HeaderReader {
    explicit HeaderReader(std::string_view text) : walk(text) {}

    static constexpr size_t none = SIZE_MAX;
    HeaderWalk walk;
    size_t open = none;  // the section whose body is being read
    bool headerSeen = false;
};

ProfileData::ProfileData(std::string bytes) : text_(std::move(bytes))
{
    convertMarkedText(text_);
    reader_ = std::make_unique<HeaderReader>(text_);
}

ProfileData::~ProfileData() = default;

void ProfileData::addSection(std::string_view name, size_t bodyBegin) const
{
    // The table of sections stays at most half full.
    if (2 * (sections_.size() + 1) > slots_.size()) {
        slots_.assign(std::max<size_t>(16, 2 * slots_.size()), 0);
        for (size_t i = 0; i < sections_.size(); ++i)
            slots_[freeSlot(sections_[i].hash)] = static_cast<uint32_t>(i + 1);
    }
    uint32_t hash = foldedHash(name);
    size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        // The first section of a name wins; a repeated one is ignored with its keys.
        if (sameName(sections_[slots_[slot] - 1].name, name))
            return;
    }
    sections_.push_back(Section{name, bodyBegin, text_.size(), hash, nullptr});
    slots_[freeSlot(hash)] = static_cast<uint32_t>(sections_.size());
}

size_t ProfileData::freeSlot(uint32_t hash) const
{
    size_t mask = slots_.size() - 1;
    size_t slot = hash & mask;
    while (slots_[slot] != 0)
        slot = (slot + 1) & mask;
    return slot;
}

bool ProfileData::readHeader() const
{
    HeaderReader& reader = *reader_;
    auto addOpen = [&](std::string_view sectionName, size_t bodyBegin) {
        size_t before = sections_.size();
        addSection(sectionName, bodyBegin);
        reader.open = sections_.size() > before ? before : HeaderReader::none;
    };
    std::string_view name;
    size_t start = 0;
    const bool found = reader.walk.next(name, start);
    // Keys before the first header belong to a section of the empty name.
    if (!reader.headerSeen && reader.walk.keysBeforeHeader())
        addOpen(std::string_view(), 0);
    reader.headerSeen = true;
    if (reader.open != HeaderReader::none)
        sections_[reader.open].bodyEnd = found ? start : text_.size();
    if (!found) {
        reader_.reset();
        parsed_.store(true, std::memory_order_release);
        return false;
    }
    addOpen(name, reader.walk.position());
    return true;
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
    if (parsed_.load(std::memory_order_acquire))
        return known(name);
    std::lock_guard lock(parseMutex_);
    const Section* found = known(name);
    // A section is handed out once the next header has ended its body.
    auto isOpen = [&](const Section* s) {
        return reader_ && reader_->open != HeaderReader::none && s == &sections_[reader_->open];
    };
    while (reader_ && (!found || isOpen(found))) {
        size_t added = sections_.size();
        // Headers are read in batches: reading one now and then, between a
        // reader's other work, costs more than reading many while the table of
        // sections is at hand.
        for (int read = 0; read < headersPerBatch && readHeader(); ++read) {
        }
        for (; !found && added < sections_.size(); ++added) {
            if (sameName(sections_[added].name, name))
                found = &sections_[added];
        }
    }
    return found;
}

const ProfileData::Section* ProfileData::known(std::string_view name) const
{
    if (sections_.empty())
        return nullptr;
    // Each name has one section here, so the one after the last found is the
    // section of its name when the names agree. In a large file this saves the
    // table's scattered reads for nearly every section.
    const size_t next = lastFound_.load(std::memory_order_relaxed) + 1;
    if (next < sections_.size() && sameName(sections_[next].name, name)) {
        lastFound_.store(next, std::memory_order_relaxed);
        return &sections_[next];
    }
    size_t mask = slots_.size() - 1;
    for (size_t slot = foldedHash(name) & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        const size_t index = slots_[slot] - 1;
        if (sameName(sections_[index].name, name)) {
            lastFound_.store(index, std::memory_order_relaxed);
            return &sections_[index];
        }
    }
    return nullptr;
}

void ProfileData::keys(const Section& section, ProfileKeyTable& table) const
{
    table.clear();
    forEachKey(text_, section.bodyBegin, section.bodyEnd, [&](ProfileKey key) {
        key.summary = nameSummary(key.name);
        table.add(key);
    });
}

bool ProfileData::isLong(const Section& section)
{
    return section.bodyEnd - section.bodyBegin >= indexedFrom;
}

std::optional<std::string_view> ProfileData::find(const Section& section, std::string_view key) const
{
    std::lock_guard<std::mutex> lock(indexMutex_);
    if (!section.index) {
        auto index = std::make_unique<std::unordered_map<std::string, std::string_view>>();
        // The first key of a name wins.
        forEachKey(text_, section.bodyBegin, section.bodyEnd,
                   [&](const ProfileKey& key) { index->try_emplace(foldLetters(key.name), key.value); });
        section.index = std::move(index);
    }
    auto entry = section.index->find(std::string(key));
    if (entry == section.index->end())
        return std::nullopt;
    return entry->second;
}

}  // namespace platform::profile_detail
