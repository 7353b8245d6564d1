// Transformation matrices as the placing code composes and writes them: pages,
// images and blocks are each placed by a chain of moves, turns and scales.
#pragma once

#include "pdfengine/ContentBuilder.h"
#include "pdfengine/Qpdf.h"

#include <qpdf/QPDFMatrix.hh>

namespace pdfengine {

// `first`, then `second` (PDF matrices act on row vectors).
QPDFMatrix then(const QPDFMatrix& first, const QPDFMatrix& second);

// Counter-clockwise rotation about the origin, exact for multiples of 90 degrees.
QPDFMatrix rotation(double degrees);

// Appends "a b c d e f cm", or nothing for the identity, which would change
// nothing. Matrices carry scale factors, so they keep six decimals: a page
// turned by an odd angle must not drift by more than a millionth of a point
// per unit.
void writeMatrix(ContentBuilder& out, const QPDFMatrix& m);

}  // namespace pdfengine
