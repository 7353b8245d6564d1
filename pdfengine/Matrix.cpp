#include "pdfengine/Matrix.h"

#include <cmath>
#include <numbers>

namespace pdfengine {

QPDFMatrix then(const QPDFMatrix& first, const QPDFMatrix& second)
{
    QPDFMatrix result = second;
    result.concat(first);
    return result;
}

QPDFMatrix rotation(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0)
        d += 360;
    double c, s;
    if (d == 0) {
        c = 1, s = 0;
    } else if (d == 90) {
        c = 0, s = 1;
    } else if (d == 180) {
        c = -1, s = 0;
    } else if (d == 270) {
        c = 0, s = -1;
    } else {
        double r = d * std::numbers::pi / 180.0;
        c = std::cos(r), s = std::sin(r);
    }
    return QPDFMatrix(c, s, -s, c, 0, 0);
}

void writeMatrix(ContentBuilder& out, const QPDFMatrix& m)
{
    if (m == QPDFMatrix())
        return;
    for (double value : {m.a, m.b, m.c, m.d, m.e, m.f})
        out.number(value, 6);
    out.op("cm");
}

}  // namespace pdfengine
