// A line of text placed on a page: the text (Shift-JIS), alignment flags, character
// and word spacing, the margin and box for fitting, its position and its font. The
// text owns copies of its string, points and font.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORPDFObject.h"
#include "model/TORPDFFont.h"
#include "model/TORPDFPoint.h"

class TORPDFText : public virtual TORPDFObject {
public:
    // Alignment flags: one horizontal, one vertical, and fitting into the box.
    static constexpr uint16_t alignLeft = 0x01, alignCenter = 0x02, alignRight = 0x04;
    static constexpr uint16_t alignTop = 0x10, alignMiddle = 0x20, alignBottom = 0x40;
    static constexpr uint16_t horizontalMask = 0x0F, verticalMask = 0xF0;
    static constexpr uint16_t fitInBox = 0x100;

    // Copies what is given; spacings -1 (not set), margin 3.0, no box.
    TORPDFText(const char* text, uint16_t align, const TORPDFPoint* position, const TORPDFFont* font);
    // A deep copy: string, flags, spacings, margin, both points and the font.
    TORPDFText(const TORPDFText& other);
    TORPDFText& operator=(const TORPDFText& other);
    ~TORPDFText() override = default;

    const char* getText() const { return text.get(); }
    uint16_t getAlign() const { return align; }
    int16_t getCharSpacing() const { return charspacing; }
    int16_t getWordSpacing() const { return wordspacing; }
    double getMargin() const { return margin; }
    // The position when the low byte of which is not 0, else the box size.
    const TORPDFPoint* getPoint(int which) const { return slot(which).get(); }
    const TORPDFFont* getFont() const { return font.get(); }

    // Setters store copies; none leaves the place empty.
    TORPDFText& setText(const char* value);
    TORPDFText& setAlign(uint16_t value);
    TORPDFText& setCharSpacing(int16_t value);
    TORPDFText& setWordSpacing(int16_t value);
    TORPDFText& setMargin(double value);
    TORPDFText& setPoint(const TORPDFPoint* point, int which);
    TORPDFText& setFont(const TORPDFFont* value);

    // Releases the string, both points and the font; the rest stays.
    void clear();

protected:
    // Only the low 8 bits of which choose.
    std::unique_ptr<TORPDFPoint>& slot(int which) { return static_cast<uint8_t>(which) ? position : boxSize; }
    const std::unique_ptr<TORPDFPoint>& slot(int which) const
    {
        return static_cast<uint8_t>(which) ? position : boxSize;
    }

    OwnedText text;
    uint16_t align = 0;
    int16_t charspacing = -1;
    int16_t wordspacing = -1;
    double margin = 3.0;
    std::unique_ptr<TORPDFPoint> position;
    std::unique_ptr<TORPDFPoint> boxSize;
    std::unique_ptr<TORPDFFont> font;
};
