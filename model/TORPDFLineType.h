// The stroke attributes of lines and rectangles: width, cap and join styles, dash,
// miter limit and colour (0xRRGGBB).
#pragma once

#include <cstdint>

#include "foundation/TORPDFObject.h"

class TORPDFLineType : public virtual TORPDFObject {
public:
    TORPDFLineType(double width, uint16_t cap, double black, double white, uint16_t join, double miter,
                   uint32_t color)
        : width(width), cap(cap), black(black), white(white), join(join), miter(miter), color(color)
    {
    }
    // A copy of other; every field 0 when there is none.
    explicit TORPDFLineType(const TORPDFLineType* other)
    {
        if (other)
            copyFrom(*other);
    }
    TORPDFLineType(const TORPDFLineType& other) : TORObject(), TORPDFObject() { copyFrom(other); }
    TORPDFLineType& operator=(const TORPDFLineType& other) { return copyFrom(other); }
    ~TORPDFLineType() override = default;

    double getWidth() const { return width; }
    uint16_t getCap() const { return cap; }
    void getDash(double& blackLength, double& whiteLength) const
    {
        blackLength = black;
        whiteLength = white;
    }
    uint16_t getJoin() const { return join; }
    double getMiter() const { return miter; }
    uint32_t getColor() const { return color; }

    TORPDFLineType& setWidth(double value)
    {
        width = value;
        return *this;
    }
    TORPDFLineType& setCap(uint16_t value)
    {
        cap = value;
        return *this;
    }
    TORPDFLineType& setDash(double blackLength, double whiteLength)
    {
        black = blackLength;
        white = whiteLength;
        return *this;
    }
    TORPDFLineType& setJoin(uint16_t value)
    {
        join = value;
        return *this;
    }
    TORPDFLineType& setMiter(double value)
    {
        miter = value;
        return *this;
    }
    TORPDFLineType& setColor(uint32_t value)
    {
        color = value;
        return *this;
    }
    TORPDFLineType& copyFrom(const TORPDFLineType& other)
    {
        width = other.width;
        cap = other.cap;
        black = other.black;
        white = other.white;
        join = other.join;
        miter = other.miter;
        color = other.color;
        return *this;
    }

protected:
    double width = 0;
    uint16_t cap = 0;
    double black = 0;
    double white = 0;
    uint16_t join = 0;
    double miter = 0;
    uint32_t color = 0;
};
