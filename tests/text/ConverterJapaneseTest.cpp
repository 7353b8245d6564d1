#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "platform/cp932.h"
#include "text/TORConverter.h"

namespace {

using Conversion = std::function<char*(char*, const char*)>;

// Converts from a source and into a destination of exactly the expected size, so the
// sanitizers catch any byte read or written beyond them.
std::string converted(const Conversion& conversion, const std::string& source, size_t room)
{
    std::unique_ptr<char[]> input(new char[source.size() + 1]);
    std::memcpy(input.get(), source.c_str(), source.size() + 1);
    std::unique_ptr<char[]> output(new char[room]);
    const char* result = conversion(output.get(), input.get());
    return result ? std::string(result) : std::string("(null)");
}

// The conversion's result, given a destination with room for exactly `expected`.
#define EXPECT_CONVERTS(conversion, source, expected)                                    \
    do {                                                                                 \
        const std::string expectedText = (expected);                                     \
        EXPECT_EQ(converted(conversion, source, expectedText.size() + 1), expectedText); \
    } while (0)

// The same conversion done in place, in a block of exactly the room it needs.
std::string inPlace(const Conversion& conversion, const std::string& source, size_t room)
{
    std::unique_ptr<char[]> buffer(new char[room]);
    std::memset(buffer.get(), 'Z', room);
    std::memcpy(buffer.get(), source.c_str(), source.size() + 1);
    return conversion(buffer.get(), buffer.get());
}

char* fullKatakana(char* d, const char* s)
{
    return TORConverter::toFullKatakana(d, s);
}
char* allDoubleByte(char* d, const char* s)
{
    return TORConverter::toDoubleByte(d, s, 0x00, 0xFF);
}
char* allSingleByte(char* d, const char* s)
{
    return TORConverter::toSingleByte(d, s, 0x0000, 0xFFFF);
}

// A code as its bytes.
std::string sjis(unsigned code)
{
    return code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                       : std::string(1, static_cast<char>(code));
}

TEST(ConverterJapaneseTest, FullKatakana)
{
    EXPECT_CONVERTS(fullKatakana, "\xB6\xDE", sjis(0x834B));      // ｶﾞ -> ガ
    EXPECT_CONVERTS(fullKatakana, "\xB3\xDE", sjis(0x8394));      // ｳﾞ -> ヴ
    EXPECT_CONVERTS(fullKatakana, "\xCA\xDF", sjis(0x8370));      // ﾊﾟ -> パ
    EXPECT_CONVERTS(fullKatakana, "\xCA\xDE", sjis(0x836F));      // ﾊﾞ -> バ
    EXPECT_CONVERTS(fullKatakana, "\x82\xA0", sjis(0x8341));      // あ -> ア
    EXPECT_CONVERTS(fullKatakana, "\x82\xA9\xDE", sjis(0x834B));  // か + ﾞ -> ガ
    EXPECT_CONVERTS(fullKatakana, "a\xA0\xA1\xA5\xB0\xDD",
                    "a" + sjis(0x8140) + sjis(0x8142) + sjis(0x8145) + sjis(0x815B) + sjis(0x8393));
    // Other characters pass: ASCII, kanji, 80 and FD-FF, a lead byte at the end.
    EXPECT_CONVERTS(fullKatakana, "A\x88\x9F\x80\xFD\x81", "A\x88\x9F\x80\xFD\x81");

    // A sound mark joins only a katakana that has a voiced form; elsewhere, first of all
    // at the very start, it is kept as it is.
    EXPECT_CONVERTS(fullKatakana,
                    "\xDE"
                    "A",
                    "\xDE"
                    "A");
    EXPECT_CONVERTS(fullKatakana, "E\xDE", "E\xDE");
    EXPECT_CONVERTS(fullKatakana, "A\xDF", "A\xDF");
    EXPECT_CONVERTS(fullKatakana, "\xB1\xDE", sjis(0x8341) + "\xDE");  // ｱﾞ: no voiced a
    EXPECT_CONVERTS(fullKatakana, "\xA5\xDE", sjis(0x8145) + "\xDE");  // ･ﾞ: not vu
    EXPECT_CONVERTS(fullKatakana, "\xB6\xDE\xDE", sjis(0x834B) + "\xDE");
    EXPECT_CONVERTS(fullKatakana, "\xB6\xDF", sjis(0x834A) + "\xDF");

    // Every hiragana becomes the katakana of the same sound (U+3041.. -> U+30A1..).
    for (unsigned code = 0x829F; code <= 0x82F1; ++code) {
        const std::string katakana = converted(fullKatakana, sjis(code), 3);
        ASSERT_EQ(katakana.size(), 2u);
        const unsigned result =
            static_cast<unsigned char>(katakana[0]) << 8 | static_cast<unsigned char>(katakana[1]);
        EXPECT_EQ(platform::cp932DecodeCode(result), platform::cp932DecodeCode(code) + 0x60)
            << std::hex << code;
    }
    // In place, with room for the longer result.
    EXPECT_EQ(inPlace(fullKatakana, "\xB1\xB2", 5), sjis(0x8341) + sjis(0x8343));
}

TEST(ConverterJapaneseTest, DoubleByteForms)
{
    EXPECT_CONVERTS(allDoubleByte, "A1 ", sjis(0x8260) + sjis(0x8250) + sjis(0x8140));
    EXPECT_CONVERTS(allDoubleByte, "\xB6\xDE\xB3\xDE\xCA\xDF", sjis(0x834B) + sjis(0x8394) + sjis(0x8370));
    // Double-byte characters, and bytes without a full-width form, pass unchanged: the
    // yen sign 5C, DEL, 80, A0, and a sound mark that joins nothing.
    EXPECT_CONVERTS(allDoubleByte, "\x88\x9F\\\x7F\x80\xA0\xDE", "\x88\x9F\\\x7F\x80\xA0\xDE");
    EXPECT_CONVERTS(allDoubleByte, "A\xDE", sjis(0x8260) + "\xDE");
    EXPECT_CONVERTS(allDoubleByte, "\xB1\xDF", sjis(0x8341) + "\xDF");
    EXPECT_CONVERTS(allDoubleByte, "a\x81", sjis(0x8281) + "\x81");
    // Only the bytes in the range change.
    const Conversion onlyA = [](char* d, const char* s) {
        return TORConverter::toDoubleByte(d, s, 'A', 'A');
    };
    EXPECT_CONVERTS(onlyA, "ABA", sjis(0x8260) + "B" + sjis(0x8260));
    EXPECT_EQ(inPlace(allDoubleByte, "ab", 5), sjis(0x8281) + sjis(0x8282));
}

TEST(ConverterJapaneseTest, SingleByteForms)
{
    // ガ -> ｶﾞ; ー and hiragana stay.
    EXPECT_CONVERTS(allSingleByte, sjis(0x834B) + sjis(0x815B) + sjis(0x82AA),
                    "\xB6\xDE" + sjis(0x815B) + sjis(0x82AA));
    EXPECT_CONVERTS(allSingleByte, sjis(0x8260) + sjis(0x8394) + sjis(0x8370) + "x",
                    "A\xB3\xDE\xCA\xDF"
                    "x");
    // Kanji and codes outside the range are copied.
    const Conversion onlyLetters = [](char* d, const char* s) {
        return TORConverter::toSingleByte(d, s, 0x8260, 0x8279);
    };
    EXPECT_CONVERTS(onlyLetters, sjis(0x8260) + sjis(0x8281) + sjis(0x889F),
                    "A" + sjis(0x8281) + sjis(0x889F));

    // The voiced katakana are exactly ga to bo and vu, the semi-voiced pa to po.
    const std::string voiced =
        "\x4B\x4D\x4F\x51\x53\x55\x57\x59\x5B\x5D\x5F\x61\x64\x66\x68\x6F\x72\x75\x78\x7B\x94";
    const std::string semiVoiced = "\x70\x73\x76\x79\x7C";
    for (unsigned trail = 0x40; trail <= 0x96; ++trail) {
        const std::string half = converted(allSingleByte, sjis(0x8300 | trail), 3);
        const char mark = half.size() == 2 ? half[1] : 0;
        if (voiced.find(static_cast<char>(trail)) != std::string::npos) {
            EXPECT_EQ(mark, '\xDE') << std::hex << trail;
        } else if (semiVoiced.find(static_cast<char>(trail)) != std::string::npos) {
            EXPECT_EQ(mark, '\xDF') << std::hex << trail;
        } else if (half.size() == 2) {
            EXPECT_TRUE(platform::cp932IsLeadByte(static_cast<unsigned char>(half[0]))) << std::hex << trail;
        }
    }
    // The half-width forms go back to the full-width ones.
    for (unsigned code = 0x8340; code <= 0x8396; ++code) {
        const std::string half = converted(allSingleByte, sjis(code), 3);
        if (!platform::cp932IsLeadByte(static_cast<unsigned char>(half[0]))) {
            EXPECT_EQ(converted(allDoubleByte, half, 3), sjis(code)) << std::hex << code;
        }
    }
    EXPECT_EQ(inPlace(allSingleByte, sjis(0x8260) + sjis(0x834B), 5), "A\xB6\xDE");
}

TEST(ConverterJapaneseTest, Capitals)
{
    const Conversion upper = TORConverter::toUpper;
    // a and full-width b -> A and full-width B; the trail byte 61 of チ (8361) stays.
    EXPECT_CONVERTS(upper, "a" + sjis(0x8282) + sjis(0x8361) + "z{",
                    "A" + sjis(0x8261) + sjis(0x8361) + "Z{");
    EXPECT_CONVERTS(upper, sjis(0x8281) + sjis(0x829A) + sjis(0x829B) + "\x82",
                    sjis(0x8260) + sjis(0x8279) + sjis(0x829B) + "\x82");
    EXPECT_EQ(inPlace(upper, "ab", 3), "AB");
}

TEST(ConverterJapaneseTest, JisAndEuc)
{
    const Conversion toJis = TORConverter::sjisToJis, toEuc = TORConverter::sjisToEuc;
    const Conversion fromJis = TORConverter::jisToSjis, fromEuc = TORConverter::eucToSjis;
    // あ is row 4, cell 2.
    EXPECT_CONVERTS(toJis, "a" + sjis(0x82A0), "a\x24\x22");
    EXPECT_CONVERTS(toEuc, "a" + sjis(0x82A0) + "\xB1", "a\xA4\xA2\xB1");
    // The first and the last code of the 94 rows.
    EXPECT_CONVERTS(toJis, sjis(0x8140) + sjis(0xEFFC), "\x21\x21\x7E\x7E");
    // An IBM extension goes through its NEC-selected equivalent: FA40 as EEEF.
    EXPECT_CONVERTS(toJis, sjis(0xFA40), converted(toJis, sjis(0xEEEF), 3));
    EXPECT_CONVERTS(toJis, sjis(0xFA40), "\x7C\x71");
    // Without any JIS code (user-defined, IBM rows beyond the table, bad trail) a
    // character is dropped; a lead byte at the end stays.
    EXPECT_CONVERTS(toJis,
                    "a" + sjis(0xF040) + sjis(0xFC4C) +
                        "\x81\x20"
                        "b\x81",
                    "ab\x81");

    EXPECT_CONVERTS(fromJis,
                    "\x24\x22"
                    "\x0A",
                    sjis(0x82A0) + "\x0A");
    EXPECT_CONVERTS(fromJis, "AB", sjis(0x9161));  // plain ASCII pairs are taken as JIS too
    EXPECT_CONVERTS(fromEuc, "a\xA4\xA2\x8E\xB1", "a" + sjis(0x82A0) + "\x8E\xB1");

    // In place, and always terminated where characters were dropped.
    EXPECT_EQ(inPlace(toJis, "a" + sjis(0xF040) + sjis(0x82A0), 6), "a\x24\x22");
    EXPECT_EQ(inPlace(toEuc, sjis(0x82A0), 3), "\xA4\xA2");
    EXPECT_EQ(inPlace(fromJis, "\x24\x22", 3), sjis(0x82A0));
    EXPECT_EQ(inPlace(fromEuc, "\xA4\xA2", 3), sjis(0x82A0));
}

TEST(ConverterJapaneseTest, EveryCodeOfTheJisRowsGoesBothWays)
{
    const Conversion toJis = TORConverter::sjisToJis, fromJis = TORConverter::jisToSjis;
    const Conversion toEuc = TORConverter::sjisToEuc, fromEuc = TORConverter::eucToSjis;
    for (unsigned lead = 0x81; lead <= 0xEF; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string code = sjis(lead << 8 | trail);
            const std::string jis = converted(toJis, code, 3);
            ASSERT_EQ(jis.size(), 2u) << std::hex << lead << trail;
            EXPECT_EQ(converted(fromJis, jis, 3), code);
            EXPECT_EQ(converted(fromEuc, converted(toEuc, code, 3), 3), code);
        }
    }
    // The IBM extensions come back as their NEC equivalents: the same characters.
    for (unsigned code = 0xFA40; code <= 0xFC4B; ++code) {
        const int character = platform::cp932DecodeCode(code);
        if (character < 0)
            continue;
        const std::string back = converted(fromJis, converted(toJis, sjis(code), 3), 3);
        ASSERT_EQ(back.size(), 2u) << std::hex << code;
        const unsigned equivalent =
            static_cast<unsigned char>(back[0]) << 8 | static_cast<unsigned char>(back[1]);
        EXPECT_EQ(platform::cp932DecodeCode(equivalent), character) << std::hex << code;
        EXPECT_NE(equivalent, code);
    }
}

TEST(ConverterJapaneseTest, Iso2022)
{
    const Conversion toIso = TORConverter::sjisToIso2022, fromIso = TORConverter::iso2022ToSjis;
    EXPECT_CONVERTS(toIso, "a" + sjis(0x82A0) + "b", "a\x1B$B\x24\x22\x1B(Bb");
    // Kanji mode is closed at the end.
    EXPECT_CONVERTS(toIso, sjis(0x82A0), "\x1B$B\x24\x22\x1B(B");
    EXPECT_CONVERTS(toIso, sjis(0xFA40), "\x1B$B\x7C\x71\x1B(B");
    // A character without JIS code passes as its bytes, outside kanji mode.
    EXPECT_CONVERTS(toIso, sjis(0xF040) + "a", "\x1B$B\x1B(B\xF0\x40\x1B$B\x1B(Ba");
    EXPECT_CONVERTS(toIso, "", "");
    EXPECT_CONVERTS(toIso, sjis(0x82A0) + "\x81", "\x1B$B\x24\x22\x1B(B\x81");  // a lead byte at the end

    EXPECT_CONVERTS(fromIso, "a\x1B$B\x24\x22\x1B(Bb", "a" + sjis(0x82A0) + "b");
    // Other escapes and bytes outside kanji mode pass; so do bytes kanji mode cannot pair.
    EXPECT_CONVERTS(fromIso, "\x1B(J\x24\x22", "\x1B(J\x24\x22");
    EXPECT_CONVERTS(fromIso, "\x1B$B\x24\x22\x24\n", sjis(0x82A0) + "\x24\n");
    // The text may end anywhere, inside an escape too.
    EXPECT_CONVERTS(fromIso, "a\x1B", "a\x1B");
    EXPECT_CONVERTS(fromIso, "a\x1B$", "a\x1B$");
    EXPECT_CONVERTS(fromIso, "\x1B$B", "");

    // Back and forth, raw bytes included.
    const std::string text = "A" + sjis(0x889F) + sjis(0xF040) + sjis(0x82A0) + "z" + sjis(0x8140);
    EXPECT_EQ(converted(fromIso, converted(toIso, text, 64), text.size() + 1), text);

    // In place: the longer result needs the room, the shorter one is terminated.
    const std::string iso = "a\x1B$B\x24\x22\x1B(Bb";
    EXPECT_EQ(inPlace(toIso, "a" + sjis(0x82A0) + "b", iso.size() + 1), iso);
    EXPECT_EQ(inPlace(fromIso, iso, iso.size() + 1), "a" + sjis(0x82A0) + "b");
}

TEST(ConverterJapaneseTest, NullArgumentsGiveNull)
{
    char buffer[8];
    const Conversion all[] = {fullKatakana,
                              allDoubleByte,
                              allSingleByte,
                              TORConverter::toUpper,
                              TORConverter::sjisToJis,
                              TORConverter::sjisToEuc,
                              TORConverter::jisToSjis,
                              TORConverter::eucToSjis,
                              TORConverter::sjisToIso2022,
                              TORConverter::iso2022ToSjis};
    for (const Conversion& conversion : all) {
        EXPECT_EQ(conversion(buffer, nullptr), nullptr);
        EXPECT_EQ(conversion(nullptr, "a"), nullptr);
    }
}

}  // namespace
