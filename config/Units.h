// Configuration lengths are integers in tenths of a millimetre: 3.528 of them make
// one PDF point.
#pragma once

constexpr double unitsPerPoint = 3.528;

constexpr double toPoints(double units)
{
    return units / unitsPerPoint;
}
constexpr double fromPoints(double points)
{
    return points * unitsPerPoint;
}
