#include "model/TORPDFFont.h"

TORPDFFont::TORPDFFont(const char* face, const char* file, const char* encoding, double size,
                       const char* option, uint32_t color)
    : face(face), file(file), encoding(encoding), size(size), option(option), color(color)
{
}

TORPDFFont& TORPDFFont::setFace(const char* text)
{
    face.set(text);
    return *this;
}

TORPDFFont& TORPDFFont::setFile(const char* text)
{
    file.set(text);
    return *this;
}

TORPDFFont& TORPDFFont::setEncoding(const char* text)
{
    encoding.set(text);
    return *this;
}

TORPDFFont& TORPDFFont::setSize(double value)
{
    size = value;
    return *this;
}

TORPDFFont& TORPDFFont::setOption(const char* text)
{
    option.set(text);
    return *this;
}

TORPDFFont& TORPDFFont::setColor(uint32_t value)
{
    color = value;
    return *this;
}

TORPDFFont& TORPDFFont::copyFrom(const TORPDFFont* other)
{
    // Copying a font onto itself must not empty it first.
    if (other == this)
        return *this;
    clear();
    size = 0;
    color = 0;
    if (other) {
        face = other->face;
        file = other->file;
        encoding = other->encoding;
        option = other->option;
        size = other->getSize();
        color = other->getColor();
    }
    return *this;
}

void TORPDFFont::clear()
{
    face.clear();
    file.clear();
    encoding.clear();
    option.clear();
}
