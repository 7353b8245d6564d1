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

std::string comparableName(std::string_view name)
{
    std::string folded(trimBlanks(name));
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

ProfileData::ProfileData(std::string bytes)
{
    convertMarkedText(bytes);
    parse(bytes);
}

void ProfileData::parse(std::string_view text)
{
    Section* current = nullptr;
    bool headerSeen = false;
    size_t pos = 0;
    while (pos < text.size()) {
        // CR LF, LF and a lone CR all end a line; no trail byte is CR or LF.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size())
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

        // A zero byte ends what the line holds.
        line = line.substr(0, line.find('\0'));
        line = trimBlanks(line);
        if (line.empty())
            continue;

        if (line.front() == '[') {
            size_t close = lastClosingBracket(line, 1);
            if (close == std::string_view::npos)
                continue;
            headerSeen = true;
            // The first section of a name wins; a repeated one is ignored with its keys.
            auto [it, inserted] = sections_.try_emplace(comparableName(line.substr(1, close - 1)));
            current = inserted ? &it->second : nullptr;
            continue;
        }

        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        if (!headerSeen && !current)
            current = &sections_[std::string()];
        if (current)
            current->try_emplace(comparableName(line.substr(0, equals)), unquote(line.substr(equals + 1)));
    }
}

const std::string* ProfileData::find(const std::string& section, const std::string& key) const
{
    auto s = sections_.find(section);
    if (s == sections_.end())
        return nullptr;
    auto k = s->second.find(key);
    return k == s->second.end() ? nullptr : &k->second;
}

}  // namespace platform::profile_detail
