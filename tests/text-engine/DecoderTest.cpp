// Text bytes to characters: malformed input becomes U+FFFD, one per broken
// character, so that it is shown (as notdef where the font lacks U+FFFD) and
// counted, never dropped or allowed to swallow its neighbours.
#include <gtest/gtest.h>

#include <string>

#include "pdfengine/FontEncoding.h"
#include "pdfengine/TextDecoder.h"

using namespace pdfengine;

TEST(TextDecoder, Utf16InBothByteOrders)
{
    std::u32string out;
    decodeUtf16(std::string("A\0\x3d\xd8\x00\xde", 6), false, out);
    EXPECT_EQ(out, U"A😀");
    decodeUtf16(std::string("\x00"
                            "A\xd8\x3d\xde\x00",
                            6),
                true, out);
    EXPECT_EQ(out, U"A😀");
    // A lone high surrogate, a lone low one, and an odd last byte.
    decodeUtf16(std::string("\x3d\xd8"
                            "B\0\x00\xde"
                            "C",
                            7),
                false, out);
    EXPECT_EQ(out, U"\uFFFDB\uFFFD\uFFFD");
}

TEST(TextDecoder, Utf8)
{
    std::u32string out;
    decodeUtf8("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", out);
    EXPECT_EQ(out, U"aé日😀");
    // A stray continuation byte, an overlong form, a surrogate, a cut sequence.
    decodeUtf8(
        "\x80"
        "b\xC0\xAF"
        "c\xED\xA0\x80"
        "d\xE6\x97",
        out);
    EXPECT_EQ(out, U"\uFFFDb\uFFFDc\uFFFDd\uFFFD");
}

TEST(TextDecoder, ShiftJisAndEightBit)
{
    std::u32string out;
    decodeShiftJis("A\x82\xa0\xb1\x87\x8a\xfa\x5c\\", out);
    EXPECT_EQ(out, U"Aあｱ㈱纊\\");
    // A lead byte at the end and bytes that form no character.
    decodeShiftJis("\xa0\x85\x40x\x82", out);
    EXPECT_EQ(out.size(), 4u);
    EXPECT_EQ(out[2], U'x');
    EXPECT_EQ(out[3], kReplacementCharacter);
    decodeEightBit("\x80\x81\xE9", *FontEncoding::find("winansi"), out);
    EXPECT_EQ(out, U"€\uFFFDé");
}

TEST(TextDecoder, MarksAndNames)
{
    EXPECT_EQ(byteOrderMark("\xFE\xFF"), ByteOrderMark::Utf16BigEndian);
    EXPECT_EQ(byteOrderMark("\xFF\xFE"
                            "A"),
              ByteOrderMark::Utf16LittleEndian);
    EXPECT_EQ(byteOrderMark("\xEF\xBB\xBFx"), ByteOrderMark::Utf8);
    EXPECT_FALSE(byteOrderMark("\xEF\xBB"));
    EXPECT_FALSE(byteOrderMark("\xFF"));
    std::u32string out;
    decodeMarked(std::string("\xFF\xFE"
                             "A\0",
                             4),
                 ByteOrderMark::Utf16LittleEndian, out);
    EXPECT_EQ(out, U"A");
    // Font names in code page 932 or UTF-8 (with or without its mark).
    EXPECT_EQ(fontNameToUtf8("IPAex\x96\xbe\x92\xa9"), "IPAex明朝");
    EXPECT_EQ(fontNameToUtf8("\xEF\xBB\xBFIPAex明朝"), "IPAex明朝");
    EXPECT_EQ(fontNameToUtf8("Arial"), "Arial");
}
