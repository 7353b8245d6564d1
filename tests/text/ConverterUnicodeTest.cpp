#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/platform/Cp932Reference.h"
#include "text/TORConverter.h"

namespace {

using cp932reference::bytesOf;
using cp932reference::hexOf;
using cp932reference::readTable;
using cp932reference::unitsOf;

// A copy of text in a heap block of exactly its size, terminator included, so the
// sanitizers see any read beyond it.
std::unique_ptr<char[]> exactCopy(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

std::string utf8Of(const std::u16string& units)
{
    std::vector<char> buffer(units.size() * 3 + 1);
    TORConverter::ucs2ToUtf8(buffer.data(), units.c_str());
    return buffer.data();
}

// sjisToUtf8 into a destination the way the PDF option code sizes it.
std::string toUtf8(const std::string& sjis)
{
    const auto source = exactCopy(sjis);
    const size_t size = 3 * sjis.size() + 29;
    std::unique_ptr<char[]> buffer(new char[size]);
    const char* result = TORConverter::sjisToUtf8(buffer.get(), size, source.get());
    return result ? std::string(result) : std::string("(null)");
}

// utf8ToSjis into a destination it allocates itself.
std::string toSjis(const std::string& utf8, const char* defaultChar)
{
    const auto source = exactCopy(utf8);
    std::unique_ptr<char[]> result(TORConverter::utf8ToSjis(nullptr, 0, source.get(), defaultChar));
    return result ? std::string(result.get()) : std::string("(null)");
}

TEST(ConverterUnicodeTest, ShiftJisToUtf8MatchesWindowsForEveryCode)
{
    for (const auto& row : readTable("mb2wc.tsv.gz")) {
        std::u16string units = unitsOf(row[2]);
        units.pop_back();  // the terminator
        EXPECT_EQ(toUtf8(bytesOf(row[0])), utf8Of(units)) << row[0];
    }
}

TEST(ConverterUnicodeTest, Utf8ToShiftJisMatchesWindowsForEveryUnit)
{
    for (const auto& row : readTable("wc2mb.tsv.gz")) {
        const std::u16string unit = unitsOf(row[0]);
        const std::string utf8 = utf8Of(unit);
        EXPECT_EQ(hexOf(toSjis(utf8, nullptr)), row[2]) << row[0];
        const std::string expected = row[6] == "1" ? "&#x" + row[0] : bytesOf(row[5]);
        EXPECT_EQ(toSjis(utf8, "?"), expected) << row[0];
    }
}

TEST(ConverterUnicodeTest, EveryCharacterSurvivesTheRoundTrip)
{
    // Windows' own code for each unit it can encode exactly.
    std::map<char16_t, std::string> codeOf;
    for (const auto& row : readTable("wc2mb.tsv.gz"))
        if (row[6] == "0")
            codeOf[unitsOf(row[0])[0]] = bytesOf(row[5]);
    ASSERT_GT(codeOf.size(), 9000u);
    for (const auto& [unit, code] : codeOf) {
        const std::string utf8 = utf8Of(std::u16string(1, unit));
        const std::string sjis = toSjis(utf8, nullptr);
        EXPECT_EQ(sjis, code) << std::hex << unsigned{unit};
        EXPECT_EQ(toUtf8(sjis), utf8) << std::hex << unsigned{unit};
    }
    // Every code that is a character comes back as itself, or as the code Windows prefers
    // for the same character.
    for (const auto& row : readTable("mb2wc.tsv.gz")) {
        if (row[3] == "0")
            continue;
        const std::string sjis = bytesOf(row[0]);
        if (sjis == std::string(1, '\0'))
            continue;
        EXPECT_EQ(toSjis(toUtf8(sjis), nullptr), codeOf.at(unitsOf(row[2])[0])) << row[0];
    }
}

TEST(ConverterUnicodeTest, ShiftJisToUtf8SizesAndOwnership)
{
    // The units with their terminator must be fewer than the size, even where the bytes
    // would fit.
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(TORConverter::sjisToUtf8(buffer, 4, "PDF"), nullptr);
    EXPECT_EQ(buffer[0], '#');
    std::unique_ptr<char[]> five(new char[5]);
    EXPECT_STREQ(TORConverter::sjisToUtf8(five.get(), 5, "PDF"), "PDF");

    // Four full-width katakana: 8 bytes in, 12 bytes out.
    // アイウエ
    const char katakana[] = "\x83\x41\x83\x43\x83\x45\x83\x47";
    const auto source = exactCopy(katakana);
    std::unique_ptr<char[]> fits(new char[13]);
    char* result = TORConverter::sjisToUtf8(fits.get(), 13, source.get());
    ASSERT_NE(result, nullptr);
    EXPECT_STREQ(result, "\xE3\x82\xA2\xE3\x82\xA4\xE3\x82\xA6\xE3\x82\xA8");
    std::unique_ptr<char[]> tight(new char[12]);
    EXPECT_EQ(TORConverter::sjisToUtf8(tight.get(), 12, source.get()), nullptr);

    // The rest of the destination is zero-filled.
    char zeroed[16];
    std::memset(zeroed, '#', sizeof zeroed);
    TORConverter::sjisToUtf8(zeroed, sizeof zeroed, "ab");
    EXPECT_EQ(std::string(zeroed, sizeof zeroed), std::string("ab") + std::string(14, '\0'));

    // Without a destination the result is the caller's, large enough even for ASCII.
    std::unique_ptr<char[]> owned(TORConverter::sjisToUtf8(nullptr, 0, "PDF"));
    EXPECT_STREQ(owned.get(), "PDF");
    std::unique_ptr<char[]> kana(TORConverter::sjisToUtf8(nullptr, 0, "\xB1\x80"));  // ｱ and 80
    EXPECT_STREQ(kana.get(), "\xEF\xBD\xB1\xC2\x80");

    // A lead byte before the terminator is a character of its own (U+30FB).
    EXPECT_EQ(toUtf8("a\x81"), "a\xE3\x83\xBB");
    EXPECT_EQ(TORConverter::sjisToUtf8(buffer, 8, nullptr), nullptr);
}

TEST(ConverterUnicodeTest, Utf8ToShiftJisForms)
{
    // Numeric references for what has no code of its own, with no closing semicolon.
    // "aé" then あ
    EXPECT_EQ(toSjis("a\xC3\xA9\xE3\x81\x82", "?"), "a&#x00E9\x82\xA0");
    EXPECT_EQ(toSjis("a\xC3\xA9\xE3\x81\x82", nullptr), "ae\x82\xA0");
    // A base and a combining sound mark compose without a default character only: that
    // form converts the whole text at once, the other one unit at a time.
    // か + U+3099 -> が
    EXPECT_EQ(toSjis("\xE3\x81\x8B\xE3\x82\x99", nullptr), "\x82\xAA");
    EXPECT_EQ(toSjis("\xE3\x81\x8B\xE3\x82\x99", "?"), "\x82\xA9&#x3099");
    // U+1F600 keeps its low 16 bits, U+F600, which has no code.
    EXPECT_EQ(toSjis("\xF0\x9F\x98\x80", nullptr), "?");
    EXPECT_EQ(toSjis("\xF0\x9F\x98\x80", "?"), "&#xF600");
    // The allocated destination holds the worst case: a reference for every two bytes.
    EXPECT_EQ(toSjis("\xC3\xA9\xC3\xA9\xC3\xA9", "?"), "&#x00E9&#x00E9&#x00E9");
    EXPECT_EQ(toSjis("", "?"), "");
    EXPECT_EQ(TORConverter::utf8ToSjis(nullptr, 0, nullptr, nullptr), nullptr);
}

TEST(ConverterUnicodeTest, Utf8ToShiftJisStaysInsideItsDestination)
{
    // a, あ, é: whole characters only, and always a terminator.
    const auto source = exactCopy("a\xE3\x81\x82\xC3\xA9");
    const auto converted = [&](size_t size, const char* defaultChar) {
        std::unique_ptr<char[]> buffer(new char[size]);
        TORConverter::utf8ToSjis(buffer.get(), size, source.get(), defaultChar);
        return std::string(buffer.get());
    };
    EXPECT_EQ(converted(5, nullptr),
              "a\x82\xA0"
              "e");
    EXPECT_EQ(converted(4, nullptr), "a\x82\xA0");
    EXPECT_EQ(converted(3, nullptr), "a");
    EXPECT_EQ(converted(1, nullptr), "");
    EXPECT_EQ(converted(11, "?"), "a\x82\xA0&#x00E9");
    EXPECT_EQ(converted(10, "?"), "a\x82\xA0");
    char untouched = '#';
    EXPECT_EQ(TORConverter::utf8ToSjis(&untouched, 0, source.get(), nullptr), &untouched);
    EXPECT_EQ(untouched, '#');
}

TEST(ConverterUnicodeTest, Utf16ToUtf8)
{
    const auto utf8 = [](std::u16string units) {
        std::unique_ptr<char[]> buffer(new char[units.size() * 3 + 1]);
        return std::string(TORConverter::ucs2ToUtf8(buffer.get(), units.c_str()));
    };
    EXPECT_EQ(utf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(utf8(u"\u3042"), "\xE3\x81\x82");
    EXPECT_EQ(utf8(u"A\u007F\u0080\u07FF\u0800\uFFFF"), "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    // Surrogates are encoded one by one, like any other unit.
    EXPECT_EQ(utf8(std::u16string{0xD83D, 0xDE00}), "\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(utf8(u""), "");
    char buffer[4];
    EXPECT_EQ(TORConverter::ucs2ToUtf8(buffer, nullptr), nullptr);
    EXPECT_EQ(TORConverter::ucs2ToUtf8(nullptr, u"a"), nullptr);

    EXPECT_EQ(TORConverter::ucs2Length(u"ab\u3042"), 6u);
    EXPECT_EQ(TORConverter::ucs2Length(u""), 0u);
    EXPECT_EQ(TORConverter::ucs2Length(nullptr), 0u);
}

TEST(ConverterUnicodeTest, Utf8ToUtf16)
{
    const auto units = [](const std::string& utf8) {
        const auto source = exactCopy(utf8);
        std::unique_ptr<char16_t[]> buffer(new char16_t[utf8.size() + 1]);
        return std::u16string(TORConverter::utf8ToUcs2(buffer.get(), source.get()));
    };
    EXPECT_EQ(units("a\xC3\xA9\xE3\x81\x82"), u"a\u00E9\u3042");
    // Longer sequences keep the low 16 bits of their value.
    EXPECT_EQ(units("\xF0\x9F\x98\x80"), u"\uF600");
    EXPECT_EQ(units("\xF8\x88\x80\x80\x80"
                    "a"),
              u"");
    EXPECT_EQ(units("\xF8\x80\x81\x82\x83"
                    "a"),
              std::u16string({0x1083, u'a'}));
    EXPECT_EQ(units("\xFC\x80\x80\x81\x82\x83"
                    "a"),
              std::u16string({0x1083, u'a'}));
    // Continuation bytes are not checked: a stray one starts a two-byte sequence.
    EXPECT_EQ(units("\x80\x41"), std::u16string({0x0001}));
    // A sequence cut short by the end, or one that decodes to zero, ends the text.
    EXPECT_EQ(units("a\xE3\x81"), u"a");
    EXPECT_EQ(units("a\xF0\x9F\x98"), u"a");
    EXPECT_EQ(units("a\xC0\x80"
                    "b"),
              u"a");
    char16_t buffer[4];
    EXPECT_EQ(TORConverter::utf8ToUcs2(buffer, nullptr), nullptr);
    EXPECT_EQ(TORConverter::utf8ToUcs2(nullptr, "a"), nullptr);
}

}  // namespace
