// The bytes the renderer hands on for a text in each kind of encoding.
#include <gtest/gtest.h>

#include <string>

#include "render/TORPDF.h"

namespace {

std::string convert(const char* text, const char* encoding, size_t size = 1024)
{
    std::string out(size, '\x55');
    int32_t length = TORPDF::convertText(out.data(), size, text, encoding);
    EXPECT_GE(length, 0);
    EXPECT_LE(static_cast<size_t>(length), size);
    return out.substr(0, static_cast<size_t>(length));
}

TEST(ConvertTextTest, Utf16ForTheUnicodeEncodings)
{
    EXPECT_EQ(convert("ABC", "UniJIS-UCS2-H"), std::string("\xFF\xFE"
                                                           "A\0B\0C\0",
                                                           8));
    EXPECT_EQ(convert("ABC", "UniJIS-UCS2-HW-H"), std::string("\0A\0B\0C", 6));
    EXPECT_EQ(convert("ABC", "unicode"), std::string("A\0B\0C\0", 6));
    // 日本 (U+65E5 U+672C) and a half-width katakana ｱ (U+FF71).
    EXPECT_EQ(convert("\x93\xFA\x96\x7B\xB1", "unicode"), std::string("\xE5\x65\x2C\x67\x71\xFF", 6));
    EXPECT_EQ(convert("\x93\xFA\x96\x7B\xB1", "UniJIS-UCS2-HW-H"),
              std::string("\x65\xE5\x67\x2C\xFF\x71", 6));
    // Windows' own mapping: ～ (81 60) is U+FF5E, not U+301C.
    EXPECT_EQ(convert("\x81\x60", "unicode"), std::string("\x5E\xFF", 2));
    EXPECT_EQ(convert("", "UniJIS-UCS2-H"), std::string("\xFF\xFE", 2));
    EXPECT_EQ(convert("", "unicode"), "");
}

TEST(ConvertTextTest, GlyphNumbersFromHexadecimalGroups)
{
    EXPECT_EQ(convert("00410042", "glyphid"), std::string("A\0B\0", 4));
    EXPECT_EQ(convert("12aB", "glyphid"), std::string("\xAB\x12", 2));
    // An incomplete last group, or a group with another character, ends the text.
    EXPECT_EQ(convert("004100", "glyphid"), std::string("A\0", 2));
    EXPECT_EQ(convert("0041zz420043", "glyphid"), std::string("A\0", 2));
    EXPECT_EQ(convert("", "glyphid"), "");
}

TEST(ConvertTextTest, NeverMoreThanTheBuffer)
{
    // Units that do not fit are dropped, whole.
    EXPECT_EQ(convert("ABC", "UniJIS-UCS2-H", 5), std::string("\xFF\xFE"
                                                              "A\0",
                                                              4));
    EXPECT_EQ(convert("ABC", "UniJIS-UCS2-H", 1), "");
    EXPECT_EQ(convert("ABC", "unicode", 3), std::string("A\0", 2));
    EXPECT_EQ(convert("00410042", "glyphid", 3), std::string("A\0", 2));
    // A two-byte terminator follows where it fits, also after nothing.
    std::string out(8, 'x');
    EXPECT_EQ(TORPDF::convertText(out.data(), out.size(), "A", "unicode"), 2);
    EXPECT_EQ(out, std::string("A\0\0\0xxxx", 8));
    EXPECT_EQ(TORPDF::convertText(out.data(), out.size(), "0041", "glyphid"), 2);
    EXPECT_EQ(out, std::string("A\0\0\0xxxx", 8));
    out.assign(8, 'x');
    EXPECT_EQ(TORPDF::convertText(out.data(), out.size(), "", "unicode"), 0);
    EXPECT_EQ(out, std::string("\0\0xxxxxx", 8));
    out.assign(5, 'x');
    EXPECT_EQ(TORPDF::convertText(out.data(), out.size(), "AB", "UniJIS-UCS2-H"), 4);
    EXPECT_EQ(out, std::string("\xFF\xFE"
                               "A\0\0",
                               5));
    out.assign(6, 'x');
    EXPECT_EQ(TORPDF::convertText(out.data(), out.size(), "ABC", "UniJIS-UCS2-HW-H"), 6);
    EXPECT_EQ(out, std::string("\0A\0B\0C", 6));

    // At most 2048 units are kept, whatever the buffer.
    std::string longText(3000, 'a');
    EXPECT_EQ(convert(longText.c_str(), "unicode", 8192).size(), 4096u);
    EXPECT_EQ(convert(longText.c_str(), "UniJIS-UCS2-H", 8192).size(), 4098u);
    // Also when the text is longer than the conversion can take at once.
    std::string tooLong(10000, '\x82');
    for (size_t i = 1; i < tooLong.size(); i += 2)
        tooLong[i] = '\xA0';  // あ
    std::string kept;
    for (int i = 0; i < 2048; ++i)
        kept += "\x42\x30";
    EXPECT_EQ(convert(tooLong.c_str(), "unicode", 16384), kept);
    std::string groups;
    for (int i = 0; i < 5000; ++i)
        groups += "0041";
    EXPECT_EQ(convert(groups.c_str(), "glyphid", 16384).size(), 8192u);
}

TEST(ConvertTextTest, OtherEncodingsGetACopy)
{
    EXPECT_EQ(convert("\x93\xFA\x96\x7B", "cp932"), "\x93\xFA\x96\x7B");
    EXPECT_EQ(convert("abc", nullptr), "abc");
    // The names are compared exactly.
    EXPECT_EQ(convert("abc", "Unicode"), "abc");
    // A text that does not fit with its terminator is not copied at all.
    std::string out(4, 'x');
    EXPECT_EQ(TORPDF::convertText(out.data(), 4, "abcd", "winansi"), 0);
    EXPECT_EQ(out, "xxxx");
    EXPECT_EQ(TORPDF::convertText(out.data(), 4, "abc", "winansi"), 3);
    EXPECT_EQ(out, std::string("abc\0", 4));
    EXPECT_EQ(TORPDF::convertText(out.data(), 4, nullptr, "unicode"), 0);
}

}  // namespace
