// Numbers as PDF and our messages write them, independent of the C locale.
#pragma once

#include <string>

namespace pdfengine {

// Appends value with at most `decimals` digits after the point (0 to 9),
// rounded, trailing zeros and a bare point trimmed, never an exponent:
// 1 -> "1", 0.5 -> "0.5", -0.00001 -> "0". Non-finite values write "0"; the
// API rejects them before they get here.
void appendNumber(std::string& out, double value, int decimals = 4);

// Appends an integer in decimal.
void appendInteger(std::string& out, long long value);

// The value as printf's %g would print it in the C locale.
std::string formatG(double value);

// The fewest digits that read back as the same double (612, 0.1, 1e+21), as
// pCOS returns numbers as text; never "-0", and "0" for what is not finite.
std::string shortestNumber(double value);

}  // namespace pdfengine
