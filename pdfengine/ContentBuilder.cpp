#include "pdfengine/ContentBuilder.h"


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
    appendInteger(data_, value);
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
    // Text is written here for every line shown: runs without delimiters are
    // appended whole.
    data_ += '(';
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c != '(' && c != ')' && c != '\\' && c != '\r')
            continue;
        data_.append(bytes.data() + start, i - start);
        // A bare CR inside a literal string would be read as a line end.
        if (c == '\r') {
            data_ += "\\r";
        } else {
            data_ += '\\';
            data_ += c;
        }
        start = i + 1;
    }
    data_.append(bytes.data() + start, bytes.size() - start);
    data_ += ") ";
    return *this;
}

ContentBuilder& ContentBuilder::hexString(std::string_view bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    size_t at = data_.size();
    data_.resize(at + 2 * bytes.size() + 3);
    char* out = data_.data() + at;
    *out++ = '<';
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = hex[b >> 4];
        *out++ = hex[b & 0xF];
    }
    *out++ = '>';
    *out = ' ';
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

ContentBuilder& ContentBuilder::color(const Color& color, bool stroke)
{
    static const char* const ops[2][3] = {{"g", "rg", "k"}, {"G", "RG", "K"}};
    const int count = Color::componentCount(color.space);
    for (int i = 0; i < count; ++i)
        number(color.components[static_cast<size_t>(i)]);
    return op(ops[stroke ? 1 : 0][static_cast<int>(color.space)]);
}

}  // namespace pdfengine
