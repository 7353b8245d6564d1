#include "pdfengine/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace pdfengine {

namespace {

constexpr long long powersOfTen[] = {1,      10,      100,      1000,      10000,
                                     100000, 1000000, 10000000, 100000000, 1000000000};

// Beyond this the scaled value no longer fits the integer fast path.
constexpr double fastPathLimit = 9.0e15;

}  // namespace

void appendNumber(std::string& out, double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 9)
        decimals = 9;
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    const long long scale = powersOfTen[decimals];
    const double scaled = value * static_cast<double>(scale);
    char buffer[400];
    if (std::fabs(scaled) < fastPathLimit) {
        // Integer arithmetic: exact, fast, and no locale involved. Rounded half
        // away from zero, as llround does; below the limit the part after the
        // point is exact.
        long long n = static_cast<long long>(scaled);
        const double rest = scaled - static_cast<double>(n);
        if (rest >= 0.5)
            ++n;
        else if (rest <= -0.5)
            --n;
        if (n == 0) {
            out += '0';
            return;
        }
        char* end = buffer;
        if (n < 0) {
            *end++ = '-';
            n = -n;
        }
        end = std::to_chars(end, buffer + sizeof buffer, n / scale).ptr;
        long long fraction = n % scale;
        if (fraction != 0) {
            int digits = decimals;
            while (fraction % 10 == 0) {
                fraction /= 10;
                --digits;
            }
            *end++ = '.';
            for (int i = digits - 1; i >= 0; --i) {
                end[i] = static_cast<char>('0' + fraction % 10);
                fraction /= 10;
            }
            end += digits;
        }
        out.append(buffer, end);
        return;
    }
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    char* end = result.ptr;
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    out.append(buffer, end);
}

std::string shortestNumber(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == 0)
        value = 0;  // no "-0"
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ec == std::errc() ? result.ptr : buffer);
}

void appendInteger(std::string& out, long long value)
{
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string formatG(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

}  // namespace pdfengine
