#include "pdfengine/ContentBuilder.h"

#include <charconv>

#include "pdfengine/NumberFormat.h"

namespace pdfengine {

ContentBuilder& ContentBuilder::number(double value, int decimals)
{
    appendNumber(data_, value, decimals);
    data_ += ' ';
    return *this;
}

ContentBuilder& ContentBuilder::integer(long long value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    data_.append(buffer, result.ptr);
    data_ += ' ';
    return *this;
}

ContentBuilder& ContentBuilder::name(std::string_view name)
{
    data_ += '/';
    data_ += name;
    data_ += ' ';
    return *this;
}

ContentBuilder& ContentBuilder::literalString(std::string_view bytes)
{
    data_ += '(';
    for (char c : bytes) {
        if (c == '(' || c == ')' || c == '\\') {
            data_ += '\\';
            data_ += c;
        } else if (c == '\r') {
            // A bare CR inside a literal string would be read as a line end.
            data_ += "\\r";
        } else {
            data_ += c;
        }
    }
    data_ += ") ";
    return *this;
}

ContentBuilder& ContentBuilder::hexString(std::string_view bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    data_ += '<';
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        data_ += hex[b >> 4];
        data_ += hex[b & 0xF];
    }
    data_ += "> ";
    return *this;
}

ContentBuilder& ContentBuilder::raw(std::string_view text)
{
    data_ += text;
    data_ += ' ';
    return *this;
}

ContentBuilder& ContentBuilder::op(std::string_view op)
{
    data_ += op;
    data_ += '\n';
    return *this;
}

}  // namespace pdfengine
