// A coordinate pair in PDF points, measured from the left and bottom page edges.
// Holders keep their own copies.
#pragma once

#include "foundation/TORPDFObject.h"

class TORPDFPoint : public virtual TORPDFObject {
public:
    TORPDFPoint(double x, double y) : x(x), y(y) {}
    // A copy of other; (0, 0) when there is none.
    explicit TORPDFPoint(const TORPDFPoint* other) { copyFrom(other); }
    TORPDFPoint(const TORPDFPoint& other) : TORObject(), TORPDFObject(), x(other.x), y(other.y) {}
    TORPDFPoint& operator=(const TORPDFPoint& other) { return copyFrom(&other); }
    ~TORPDFPoint() override = default;

    double getX() const { return x; }
    double getY() const { return y; }
    TORPDFPoint& setX(double value)
    {
        x = value;
        return *this;
    }
    TORPDFPoint& setY(double value)
    {
        y = value;
        return *this;
    }
    // Takes other's coordinates; none leaves the point unchanged.
    TORPDFPoint& copyFrom(const TORPDFPoint* other)
    {
        if (other) {
            x = other->x;
            y = other->y;
        }
        return *this;
    }

protected:
    double x = 0;
    double y = 0;
};
