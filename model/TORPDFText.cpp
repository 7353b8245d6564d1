#include "model/TORPDFText.h"

#include "model/OwnedCopy.h"

TORPDFText::TORPDFText(const char* text, uint16_t align, const TORPDFPoint* position, const TORPDFFont* font)
    : text(text), align(align), position(ownedCopy(position)), font(ownedCopy(font))
{
}

TORPDFText::TORPDFText(const TORPDFText& other)
    : TORObject(),
      TORPDFObject(),
      text(other.text),
      align(other.align),
      charspacing(other.charspacing),
      wordspacing(other.wordspacing),
      margin(other.margin),
      position(ownedCopy(other.position.get())),
      boxSize(ownedCopy(other.boxSize.get())),
      font(ownedCopy(other.font.get()))
{
}

TORPDFText& TORPDFText::operator=(const TORPDFText& other)
{
    if (this != &other) {
        TORPDFText copy(other);
        text = std::move(copy.text);
        align = copy.align;
        charspacing = copy.charspacing;
        wordspacing = copy.wordspacing;
        margin = copy.margin;
        position = std::move(copy.position);
        boxSize = std::move(copy.boxSize);
        font = std::move(copy.font);
    }
    return *this;
}

TORPDFText& TORPDFText::setText(const char* value)
{
    text.set(value);
    return *this;
}

TORPDFText& TORPDFText::setAlign(uint16_t value)
{
    align = value;
    return *this;
}

TORPDFText& TORPDFText::setCharSpacing(int16_t value)
{
    charspacing = value;
    return *this;
}

TORPDFText& TORPDFText::setWordSpacing(int16_t value)
{
    wordspacing = value;
    return *this;
}

TORPDFText& TORPDFText::setMargin(double value)
{
    margin = value;
    return *this;
}

TORPDFText& TORPDFText::setPoint(const TORPDFPoint* point, int which)
{
    slot(which) = ownedCopy(point);
    return *this;
}

TORPDFText& TORPDFText::setFont(const TORPDFFont* value)
{
    font = ownedCopy(value);
    return *this;
}

void TORPDFText::clear()
{
    text.clear();
    position.reset();
    boxSize.reset();
    font.reset();
}
