// A straight line (kind 1) or a rectangle (kind 2) between two points, with a line
// type and a fill colour (0xRRGGBB, 0 for no fill). The area owns copies of its
// points and line type.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/TORPDFObject.h"
#include "model/TORPDFLineType.h"
#include "model/TORPDFPoint.h"

class TORPDFArea : public virtual TORPDFObject {
public:
    // Copies each object given; kind 1.
    TORPDFArea(const TORPDFPoint* point0, const TORPDFPoint* point1, const TORPDFLineType* lineType,
               uint32_t bgcolor);
    // Kind 1, then copyFrom(other).
    explicit TORPDFArea(const TORPDFArea* other);
    TORPDFArea(const TORPDFArea& other);
    TORPDFArea& operator=(const TORPDFArea& other) { return copyFrom(&other); }
    ~TORPDFArea() override = default;

    // Point 0 or 1 (possibly none); none for an index of 2 or more.
    const TORPDFPoint* getPoint(uint16_t index) const { return index < 2 ? points[index].get() : nullptr; }
    const TORPDFLineType* getLineType() const { return lineType.get(); }
    uint16_t getKind() const { return kind; }
    uint32_t getBgColor() const { return bgcolor; }

    // A copy of point replaces point 0 or 1; none installs (0, 0); another index changes
    // nothing.
    TORPDFArea& setPoint(uint16_t index, const TORPDFPoint* point);
    // A copy replaces the line type; none installs one whose fields are all 0.
    TORPDFArea& setLineType(const TORPDFLineType* type);
    TORPDFArea& setKind(uint16_t value)
    {
        kind = value;
        return *this;
    }
    TORPDFArea& setBgColor(uint32_t value)
    {
        bgcolor = value;
        return *this;
    }

    // Drops the points and line type, then copies other's and takes its kind and fill
    // colour; none leaves the area without points and line type.
    TORPDFArea& copyFrom(const TORPDFArea* other);
    // Drops the points and the line type; kind and fill colour stay.
    void clear();

protected:
    std::unique_ptr<TORPDFPoint> points[2];
    std::unique_ptr<TORPDFLineType> lineType;
    uint16_t kind = 1;
    uint32_t bgcolor = 0;
};
