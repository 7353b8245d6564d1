// Texts read from imported PDFs.
#include "pdfengine/PdfText.h"

#include <gtest/gtest.h>

using namespace pdfengine;

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

TEST(PdfTextTest, Cp932NamesDecodeAsWindowsDoes)
{
    // ブロック, then Windows' readings of the NEC circled one and of the wave
    // dash code (U+FF5E, where other converters give U+301C).
    EXPECT_EQ(cp932ToUtf8("\x83\x75\x83\x8D\x83\x62\x83\x4E"),
              "\xE3\x83\x96\xE3\x83\xAD\xE3\x83\x83\xE3\x82\xAF");
    EXPECT_EQ(cp932ToUtf8("\x87\x40\x81\x60"), "\xE2\x91\xA0\xEF\xBD\x9E");
    EXPECT_EQ(cp932ToUtf8("\xB1\xB2"), "\xEF\xBD\xB1\xEF\xBD\xB2");  // half-width katakana
    EXPECT_EQ(cp932ToUtf8(""), "");
    // A lead byte without its partner and an unassigned code are not code page 932.
    EXPECT_EQ(cp932ToUtf8("ab\x83"), std::nullopt);
    EXPECT_EQ(cp932ToUtf8("\x85\x40"), std::nullopt);
}
