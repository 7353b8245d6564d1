// Texts and numbers read from or written for imported PDFs.
#include "pdfengine/PdfText.h"

#include <gtest/gtest.h>

using namespace pdfengine;

TEST(PdfTextTest, Utf8IsCheckedStrictly)
{
    EXPECT_TRUE(isUtf8(""));
    EXPECT_TRUE(isUtf8("plain"));
    EXPECT_TRUE(isUtf8("\xE6\x97\xA5\xF0\x9F\x98\x80"));  // 日 and an emoji
    EXPECT_FALSE(isUtf8("\xC0\xAF"));                     // overlong '/'
    EXPECT_FALSE(isUtf8("\xED\xA0\x80"));                 // a surrogate
    EXPECT_FALSE(isUtf8("\xE6\x97"));                     // cut short
    EXPECT_FALSE(isUtf8("\x93\xFA"));                     // Shift-JIS 日
    EXPECT_FALSE(isUtf8("\xF4\x90\x80\x80"));             // beyond U+10FFFF
}

TEST(PdfTextTest, NamesAreUtf8ElseDecodedElsePdfDocEncoding)
{
    NameDecoder sjis = [](std::string_view bytes) -> std::optional<std::string> {
        if (bytes == "\x93\xFA")
            return std::string("\xE6\x97\xA5");
        return std::nullopt;
    };
    EXPECT_EQ(nameToUtf8("\xE6\x97\xA5", sjis), "\xE6\x97\xA5");
    EXPECT_EQ(nameToUtf8("\x93\xFA", sjis), "\xE6\x97\xA5");
    EXPECT_EQ(nameToUtf8("Caf\xE9", sjis), "Caf\xC3\xA9");
    EXPECT_EQ(nameToUtf8("\x93\xFA", {}),
              "\xEF\xAC\x81\xC3\xBA");  // PDFDocEncoding: the fi ligature, u-acute
}

TEST(PdfTextTest, NumbersWithoutLocaleOrNoise)
{
    EXPECT_EQ(shortestNumberText(612), "612");
    EXPECT_EQ(shortestNumberText(0.1), "0.1");
    EXPECT_EQ(shortestNumberText(-0.0), "0");
    EXPECT_EQ(fixedNumberText(1.0, 6), "1");
    EXPECT_EQ(fixedNumberText(0.375, 6), "0.375");
    EXPECT_EQ(fixedNumberText(-0.0000001, 6), "0");
    EXPECT_EQ(fixedNumberText(6.123233995736766e-17, 6), "0");
    EXPECT_EQ(fixedNumberText(-12.3456789, 4), "-12.3457");
    EXPECT_EQ(fixedNumberText(1e20, 2), "100000000000000000000");
}
