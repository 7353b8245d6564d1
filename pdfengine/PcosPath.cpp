#include "pdfengine/PcosPath.h"

#include <climits>

#include "pdfengine/PdiError.h"

namespace pdfengine {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

[[noreturn]] void syntaxError(std::string_view path, const std::string& reason)
{
    throw PdiError(PdiErrorKind::PathSyntax, "Bad pCOS path '" + std::string(path) + "' (" + reason + ")");
}

}  // namespace

PcosPath PcosPath::parse(std::string_view path)
{
    PcosPath result;
    result.text = path;
    std::string_view rest = path;
    if (rest.starts_with("length:")) {
        result.prefix = Prefix::Length;
        rest.remove_prefix(7);
    } else if (rest.starts_with("type:")) {
        result.prefix = Prefix::Type;
        rest.remove_prefix(5);
    }
    if (rest.starts_with('/')) {
        result.fromTrailer = true;
        rest.remove_prefix(1);
        if (rest.empty())
            return result;  // the trailer itself
    }
    if (rest.empty())
        syntaxError(path, "empty path");

    size_t i = 0;
    while (true) {
        Step key;
        while (i < rest.size() && rest[i] != '/' && rest[i] != '[') {
            if (rest[i] == ']')
                syntaxError(path, "']' without '['");
            if (rest[i] == '#') {
                if (i + 2 >= rest.size() || hexDigit(rest[i + 1]) < 0 || hexDigit(rest[i + 2]) < 0)
                    syntaxError(path, "'#' must be followed by two hexadecimal digits");
                key.key += static_cast<char>(hexDigit(rest[i + 1]) * 16 + hexDigit(rest[i + 2]));
                i += 3;
            } else {
                key.key += rest[i++];
            }
        }
        if (key.key.empty())
            syntaxError(path, "empty key");
        result.steps.push_back(std::move(key));
        while (i < rest.size() && rest[i] == '[') {
            ++i;
            Step index;
            index.isIndex = true;
            size_t digits = 0;
            while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
                index.index = index.index * 10 + (rest[i++] - '0');
                if (index.index > INT_MAX)
                    syntaxError(path, "index too large");
                ++digits;
            }
            if (digits == 0 || i >= rest.size() || rest[i] != ']')
                syntaxError(path, "an index must be a number in brackets");
            ++i;
            result.steps.push_back(index);
        }
        if (i == rest.size())
            break;
        if (rest[i] != '/')
            syntaxError(path, "unexpected '" + std::string(1, rest[i]) + "'");
        ++i;
        if (i == rest.size())
            syntaxError(path, "ends with '/'");
    }
    return result;
}

}  // namespace pdfengine
