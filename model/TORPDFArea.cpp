#include "model/TORPDFArea.h"

#include "model/OwnedCopy.h"

TORPDFArea::TORPDFArea(const TORPDFPoint* point0, const TORPDFPoint* point1, const TORPDFLineType* type,
                       uint32_t bgcolor)
    : points{ownedCopy(point0), ownedCopy(point1)}, lineType(ownedCopy(type)), bgcolor(bgcolor)
{
}

TORPDFArea::TORPDFArea(const TORPDFArea* other)
{
    copyFrom(other);
}

TORPDFArea::TORPDFArea(const TORPDFArea& other) : TORObject(), TORPDFObject()
{
    copyFrom(&other);
}

TORPDFArea& TORPDFArea::setPoint(uint16_t index, const TORPDFPoint* point)
{
    if (index < 2)
        points[index] = point ? ownedCopy(point) : std::make_unique<TORPDFPoint>(0, 0);
    return *this;
}

TORPDFArea& TORPDFArea::setLineType(const TORPDFLineType* type)
{
    lineType = type ? ownedCopy(type) : std::make_unique<TORPDFLineType>(0, 0, 0, 0, 0, 0, 0);
    return *this;
}

TORPDFArea& TORPDFArea::copyFrom(const TORPDFArea* other)
{
    if (other == this)
        return *this;
    clear();
    if (other) {
        points[0] = ownedCopy(other->getPoint(0));
        points[1] = ownedCopy(other->getPoint(1));
        lineType = ownedCopy(other->getLineType());
        kind = other->getKind();
        bgcolor = other->getBgColor();
    }
    return *this;
}

void TORPDFArea::clear()
{
    points[0].reset();
    points[1].reset();
    lineType.reset();
}
