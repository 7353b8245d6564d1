#include "platform/profile_parse.h"

#include "platform/profile_encoding.h"

namespace platform::profile_detail {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
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
    for (size_t i = 0; i < folded.size(); i += characterLength(folded, i)) {
        if (folded[i] >= 'A' && folded[i] <= 'Z')
            folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
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

void ProfileData::parse()
{
    // Folding the whole text once spares a copy of every name.
    folded_ = foldLetters(text_);
    std::string_view text(text_);
    Section* current = nullptr;
    bool headerSeen = false;
    size_t pos = 0;
    while (pos < text.size()) {
        // CR LF, LF and a lone CR all end a line; no trail byte is CR or LF.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        size_t begin = pos;
        pos = end;
        if (pos < text.size())
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

        // A zero byte ends what the line holds.
        std::string_view line = text.substr(begin, end - begin);
        line = trimBlanks(line.substr(0, line.find('\0')));
        if (line.empty())
            continue;
        size_t offset = static_cast<size_t>(line.data() - text.data());
        auto foldedPart = [&](size_t from, size_t length) {
            return trimBlanks(std::string_view(folded_).substr(offset + from, length));
        };

        if (line.front() == '[') {
            size_t close = lastClosingBracket(line, 1);
            if (close == std::string_view::npos)
                continue;
            headerSeen = true;
            sectionNames_.push_back(trimBlanks(line.substr(1, close - 1)));
            // The first section of a name wins; a repeated one is ignored with its keys.
            auto [it, inserted] = sections_.try_emplace(foldedPart(1, close - 1));
            current = inserted ? &it->second : nullptr;
            if (current)
                current->begin = current->end = entries_.size();
            continue;
        }

        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        if (!headerSeen && !current) {
            current = &sections_[std::string_view()];
            current->begin = current->end = entries_.size();
        }
        if (!current)
            continue;
        std::string_view name = foldedPart(0, equals);
        entries_.push_back(
            Entry{std::hash<std::string_view>{}(name), name, unquote(line.substr(equals + 1))});
        current->end = entries_.size();
    }

    // Looking through a few keys is quicker than an index; many keys need one.
    constexpr size_t indexFrom = 32;
    for (auto& [name, section] : sections_) {
        if (section.end - section.begin < indexFrom)
            continue;
        for (size_t i = section.begin; i < section.end; ++i)
            section.index.try_emplace(entries_[i].name, i);
    }
}

const std::string_view* ProfileData::find(std::string_view section, std::string_view key) const
{
    auto s = sections_.find(section);
    if (s == sections_.end())
        return nullptr;
    const Section& keys = s->second;
    if (!keys.index.empty()) {
        auto k = keys.index.find(key);
        return k == keys.index.end() ? nullptr : &entries_[k->second].value;
    }
    size_t hash = std::hash<std::string_view>{}(key);
    // The first key of a name wins.
    for (size_t i = keys.begin; i < keys.end; ++i) {
        if (entries_[i].hash == hash && entries_[i].name == key)
            return &entries_[i].value;
    }
    return nullptr;
}

}  // namespace platform::profile_detail
