// Numbers as content streams and messages write them, and the encodings of
// hypertext values.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "pdfengine/NumberFormat.h"
#include "pdfengine/TextEncoding.h"

using namespace pdfengine;

namespace {

std::string number(double value, int decimals = 4)
{
    std::string out;
    appendNumber(out, value, decimals);
    return out;
}

TEST(NumberFormatTest, TrimsTrailingZerosAndRounds)
{
    EXPECT_EQ(number(0), "0");
    EXPECT_EQ(number(1), "1");
    EXPECT_EQ(number(-2.5), "-2.5");
    EXPECT_EQ(number(595.8), "595.8");
    EXPECT_EQ(number(843.2539682), "843.254");
    EXPECT_EQ(number(0.00004), "0");
    EXPECT_EQ(number(-0.00004), "0");
    EXPECT_EQ(number(0.00005), "0.0001");
    EXPECT_EQ(number(1.0 / 255), "0.0039");
    EXPECT_EQ(number(0.99999), "1");
    EXPECT_EQ(number(12.3456789, 2), "12.35");
    EXPECT_EQ(number(12.3456789, 0), "12");
    EXPECT_EQ(number(0.1234567891, 9), "0.123456789");
}

// appendNumber as it was before its integer path stopped calling llround and
// appending piece by piece: the output must not change by a byte.
std::string previousNumber(double value, int decimals)
{
    static constexpr long long powers[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};
    decimals = std::clamp(decimals, 0, 9);
    if (!std::isfinite(value))
        return "0";
    std::string out;
    const long long scale = powers[decimals];
    const double scaled = value * static_cast<double>(scale);
    char buffer[400];
    if (std::fabs(scaled) < 9.0e15) {
        long long n = std::llround(scaled);
        if (n == 0)
            return "0";
        if (n < 0) {
            out += '-';
            n = -n;
        }
        out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, n / scale).ptr);
        long long fraction = n % scale;
        if (fraction != 0) {
            int digits = decimals;
            for (int i = digits - 1; i >= 0; --i) {
                buffer[i] = static_cast<char>('0' + fraction % 10);
                fraction /= 10;
            }
            while (digits > 0 && buffer[digits - 1] == '0')
                --digits;
            out += '.';
            out.append(buffer, static_cast<size_t>(digits));
        }
        return out;
    }
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    return std::string(buffer, end);
}

TEST(NumberFormatTest, SameDigitsAsThePreviousWayOnManyValues)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-8, 17);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  -0.5,
                                  1.5,
                                  2.5,
                                  -2.5,
                                  0.125,
                                  0.375,
                                  1e15,
                                  -1e15,
                                  9e14,
                                  1e20,
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min()};
    for (int i = 0; i < 200000; ++i)
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    // Halfway cases of every precision, and their neighbours.
    for (int decimals = 0; decimals <= 9; ++decimals) {
        for (int i = 0; i < 2000; ++i) {
            const double half = (std::floor(mantissa(random) * 1e6) + 0.5) / std::pow(10.0, decimals);
            values.push_back(half);
            values.push_back(std::nextafter(half, 0.0));
            values.push_back(std::nextafter(half, 1e300));
        }
    }
    size_t compared = 0;
    for (double value : values) {
        for (int decimals = -1; decimals <= 10; ++decimals) {
            ASSERT_EQ(number(value, decimals), previousNumber(value, decimals))
                << std::hexfloat << value << " with " << decimals << " decimals";
            ++compared;
        }
    }
    EXPECT_GT(compared, 2000000u);
}

TEST(NumberFormatTest, LargeValuesNeverUseAnExponent)
{
    EXPECT_EQ(number(1e15), "1000000000000000");
    EXPECT_EQ(number(-3e20), "-300000000000000000000");
    EXPECT_EQ(number(123456789012.5), "123456789012.5");
    EXPECT_EQ(number(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(number(std::numeric_limits<double>::infinity()), "0");
}

TEST(NumberFormatTest, FormatGMatchesPrintf)
{
    for (double value : {0.0, 1.0, -2.5, 595.8, 1e-7, 123456789.0, 0.1 + 0.2, 14400.0}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%g", value);
        EXPECT_EQ(formatG(value), expected) << value;
    }
}

TEST(NumberFormatTest, ShortestNumberReadsBackExactly)
{
    EXPECT_EQ(shortestNumber(612), "612");
    EXPECT_EQ(shortestNumber(0.1), "0.1");
    EXPECT_EQ(shortestNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortestNumber(-0.0), "0");
    EXPECT_EQ(shortestNumber(1e21), "1e+21");
    EXPECT_EQ(shortestNumber(NAN), "0");
}

TEST(TextEncodingTest, Cp1252ConvertsAsWindowsDoes)
{
    // Euro, a small tilde (not the combining one), Latin-1 e acute.
    EXPECT_EQ(cp1252ToUtf8("\x80\x98\xE9"), "\xE2\x82\xAC\xCB\x9C\xC3\xA9");
    // The five undefined bytes become C1 controls.
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(cp1252ToUtf8("plain"), "plain");
}

TEST(TextEncodingTest, Utf8ValidationRejectsWhatIsNotUtf8)
{
    EXPECT_TRUE(isValidUtf8("ascii \xE6\x97\xA5\xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong slash
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(isValidUtf8("\xE6\x97"));          // cut short
    EXPECT_FALSE(isValidUtf8("caf\xE9"));           // Latin-1
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
}

TEST(TextEncodingTest, HypertextFollowsTheMarkOrTheEncoding)
{
    EXPECT_EQ(hypertextToUtf8("caf\xE9", HypertextEncoding::Winansi), "caf\xC3\xA9");
    EXPECT_EQ(hypertextToUtf8("\xEF\xBB\xBF"
                              "caf\xC3\xA9",
                              HypertextEncoding::Winansi),
              "caf\xC3\xA9");
    EXPECT_EQ(hypertextToUtf8("caf\xC3\xA9", HypertextEncoding::Utf8), "caf\xC3\xA9");
    EXPECT_EQ(hypertextToUtf8("caf\xC3\xA9", HypertextEncoding::Winansi, true), "caf\xC3\xA9");
    EXPECT_EQ(hypertextToUtf8("caf\xE9", HypertextEncoding::Unicode), std::nullopt);
    EXPECT_EQ(hypertextToUtf8("\xEF\xBB\xBF\xE9", HypertextEncoding::Winansi), std::nullopt);
}

}  // namespace
