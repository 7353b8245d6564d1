#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/cp932_width.h"
#include "tests/platform/Cp932Reference.h"

namespace {

using namespace platform;
using cp932reference::bytesOf;
using cp932reference::hexOf;
using cp932reference::readTable;
using cp932reference::unitsOf;

// Decodes the bytes and the NUL after them, as the reference was recorded.
std::u16string decodeAll(const std::string& bytes, unsigned flags, int* result)
{
    std::vector<char16_t> units(bytes.size() + 1);
    *result = cp932MultiByteToWideChar(flags, bytes.c_str(), static_cast<int>(bytes.size()) + 1, units.data(),
                                       static_cast<int>(units.size()));
    return std::u16string(units.data(), *result > 0 ? static_cast<size_t>(*result) : 0);
}

std::string encodeAll(const std::u16string& units, int length, unsigned flags, const char* defaultChar,
                      bool* used)
{
    std::vector<char> bytes(units.size() * 2 + 2);
    const int written = cp932WideCharToMultiByte(flags, units.c_str(), length, bytes.data(),
                                                 static_cast<int>(bytes.size()), defaultChar, used);
    return std::string(bytes.data(), written > 0 ? static_cast<size_t>(written) : 0);
}

std::string hexUnits(const std::u16string& units)
{
    std::string hex;
    for (char16_t unit : units) {
        if (!hex.empty())
            hex += ' ';
        hex += hexOf(std::string{static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)});
    }
    return hex;
}

TEST(Cp932Test, DecodesEveryByteAndPairAsWindows)
{
    const auto rows = readTable("mb2wc.tsv.gz");
    ASSERT_EQ(rows.size(), 256u + 60u * 189u);
    for (const auto& row : rows) {
        const std::string input = bytesOf(row[0]);
        int result;
        EXPECT_EQ(hexUnits(decodeAll(input, mbPrecomposed, &result)), row[2]) << row[0];
        EXPECT_EQ(std::to_string(result), row[1]) << row[0];

        const bool rejected = row[3] == "0";
        const std::u16string strict = decodeAll(input, mbErrInvalidChars, &result);
        EXPECT_EQ(result == 0, rejected) << row[0];
        if (!rejected) {
            EXPECT_EQ(hexUnits(strict), row[4]) << row[0];
        }

        // The per-character primitives tell the same story.
        const Cp932Decoded first = cp932Decode(input.c_str(), input.size() + 1);
        EXPECT_EQ(first.valid, !rejected) << row[0];
        EXPECT_EQ(first.length, input.size() == 2 && input[1] != '\0' ? 2 : 1) << row[0];
        const unsigned code = std::stoul(row[0], nullptr, 16);
        const int expected = rejected ? -1 : static_cast<int>(unitsOf(row[2])[0]);
        EXPECT_EQ(cp932DecodeCode(code), expected) << row[0];
    }
}

TEST(Cp932Test, EncodesEveryUnitAsWindows)
{
    const auto rows = readTable("wc2mb.tsv.gz");
    ASSERT_EQ(rows.size(), 0xFFFFu - 0x800u);
    for (const auto& row : rows) {
        const std::u16string unit = unitsOf(row[0]);
        bool used = true;
        // Without a default character: best fit allowed, "?" for the rest.
        EXPECT_EQ(hexOf(encodeAll(unit, 1, wcCompositeCheck, nullptr, &used)), row[2]) << row[0];
        EXPECT_EQ(used, row[3] == "1") << row[0];
        EXPECT_EQ(hexOf(encodeAll(unit, 1, wcCompositeCheck | wcNoBestFitChars, "?", &used)), row[5])
            << row[0];
        EXPECT_EQ(used, row[6] == "1") << row[0];

        const int exact = row[6] == "0" ? static_cast<int>(std::stoul(row[5], nullptr, 16)) : -1;
        const int bestFit = row[3] == "0" ? static_cast<int>(std::stoul(row[2], nullptr, 16)) : -1;
        EXPECT_EQ(cp932Encode(unit[0], false), exact) << row[0];
        EXPECT_EQ(cp932Encode(unit[0], true), bestFit) << row[0];
    }
}

TEST(Cp932Test, ComposesBaseAndMarkAsWindows)
{
    const auto rows = readTable("composite.tsv");
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        unsigned flags = 0;
        if (row[1].find("WC_COMPOSITECHECK") != std::string::npos)
            flags |= wcCompositeCheck;
        if (row[1].find("WC_NO_BEST_FIT_CHARS") != std::string::npos)
            flags |= wcNoBestFitChars;
        const std::u16string units = unitsOf(row[0]);
        bool used = false;
        const std::string bytes = encodeAll(units, static_cast<int>(units.size()), flags, nullptr, &used);
        EXPECT_EQ(hexOf(bytes), row[3]) << row[0] << " " << row[1];
        EXPECT_EQ(std::to_string(bytes.size()), row[2]) << row[0] << " " << row[1];
        EXPECT_EQ(used, row[4] == "1") << row[0] << " " << row[1];
    }
    // Composition goes beyond the kana: Cyrillic, and = with a long solidus to ≠.
    EXPECT_EQ(hexOf(encodeAll(u"\u0415\u0308", 2, wcCompositeCheck | wcNoBestFitChars, nullptr, nullptr)),
              "8446");
    EXPECT_EQ(hexOf(encodeAll(u"=\u0338", 2, wcCompositeCheck, nullptr, nullptr)), "8182");
    // A base whose mark follows only after the end of the given length stays alone.
    EXPECT_EQ(cp932EncodeUnits(u"\u304B\u3099", 1, wcCompositeCheck).code, 0x82A9);
    const Cp932Encoded composed = cp932EncodeUnits(u"\u304B\u3099", 2, wcCompositeCheck);
    EXPECT_EQ(composed.code, 0x82AA);
    EXPECT_EQ(composed.consumed, 2);
}

TEST(Cp932Test, CodesOutsideTheRecordedInputs)
{
    // The recorded inputs hold every BMP unit and every pair with a trail byte 40-FC;
    // beyond them there is nothing either.
    EXPECT_EQ(cp932Encode(U'\U0001F600', true), -1);
    EXPECT_EQ(cp932Encode(U'\0', false), 0);
    EXPECT_EQ(cp932DecodeCode(0x18140), -1);
    EXPECT_EQ(cp932DecodeCode(0x8120), -1);
    EXPECT_EQ(cp932DecodeCode(0x81FD), -1);
    EXPECT_EQ(cp932DecodeCode(0x4142), -1);  // A is no lead byte
    const Cp932Decoded space = cp932Decode("\x81 ", 2);
    EXPECT_EQ(space.unit, cp932NoCharacter);
    EXPECT_EQ(space.length, 2);
    EXPECT_FALSE(space.valid);
}

TEST(Cp932Test, DecodingBuffersFollowWindows)
{
    // A lead byte takes any following byte but the terminator; a lone one is U+30FB.
    const char text[] = "a\x82\xA0\x81 \x81";
    int needed = cp932MultiByteToWideChar(0, text, -1, nullptr, 0);
    EXPECT_EQ(needed, 5);
    std::vector<char16_t> units(5, u'#');
    EXPECT_EQ(cp932MultiByteToWideChar(0, text, -1, units.data(), 5), 5);
    EXPECT_EQ(std::u16string(units.data(), 5), std::u16string(u"a\u3042\u30FB\u30FB", 5));

    // An explicit length stops inside the text (a lead byte at its end stands alone) and
    // writes no terminator; NULs inside are characters.
    EXPECT_EQ(cp932MultiByteToWideChar(0, "a\x82\xA0", 2, units.data(), 5), 2);
    EXPECT_EQ(units[1], u'\u30FB');
    EXPECT_EQ(cp932MultiByteToWideChar(0, "a\0b", 3, units.data(), 5), 3);
    EXPECT_EQ(units[2], u'b');
    EXPECT_EQ(cp932MultiByteToWideChar(0, "", 0, units.data(), 5), 0);

    // Too small a destination fails without writing past it.
    std::unique_ptr<char16_t[]> tight(new char16_t[4]);
    EXPECT_EQ(cp932MultiByteToWideChar(0, text, -1, tight.get(), 4), 0);
    EXPECT_EQ(cp932MultiByteToWideChar(mbErrInvalidChars, text, -1, units.data(), 5), 0);
    EXPECT_EQ(cp932MultiByteToWideChar(mbErrInvalidChars, "a\x82\xA0", -1, units.data(), 5), 3);

    EXPECT_EQ(cp932MultiByteToWideChar(0x100, "a", -1, units.data(), 5), 0);  // unknown flag
    EXPECT_EQ(cp932MultiByteToWideChar(0, nullptr, -1, units.data(), 5), 0);
    EXPECT_EQ(cp932MultiByteToWideChar(0, "a", -2, units.data(), 5), 0);
    EXPECT_EQ(cp932MultiByteToWideChar(0, "a", -1, nullptr, 5), 0);
}

TEST(Cp932Test, EncodingBuffersFollowWindows)
{
    const std::u16string text = u"a\u3042\u00E9";
    bool used = false;
    EXPECT_EQ(cp932WideCharToMultiByte(0, text.c_str(), -1, nullptr, 0, nullptr, &used), 5);
    EXPECT_EQ(encodeAll(text, -1, 0, nullptr, &used), std::string("a\x82\xA0"
                                                                  "e",
                                                                  5));
    EXPECT_FALSE(used);
    // A default character of two bytes is written whole.
    EXPECT_EQ(encodeAll(text, 3, wcNoBestFitChars, "\x81\x45", &used), "a\x82\xA0\x81\x45");
    EXPECT_TRUE(used);

    // Too small: the characters that fit, never half of one, and a result of 0.
    std::vector<char> bytes(2, '#');
    EXPECT_EQ(cp932WideCharToMultiByte(0, text.c_str(), -1, bytes.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(bytes[0], 'a');
    EXPECT_EQ(bytes[1], '#');

    EXPECT_EQ(cp932WideCharToMultiByte(0x40, text.c_str(), -1, bytes.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(cp932WideCharToMultiByte(0, nullptr, -1, bytes.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(cp932WideCharToMultiByte(0, text.c_str(), 1, nullptr, 2, nullptr, nullptr), 0);
}

TEST(Cp932Test, WidthFormsMatchWindows)
{
    const auto rows = readTable("lcmap.tsv.gz");
    ASSERT_FALSE(rows.empty());
    size_t voicedPairs = 0;
    for (const auto& row : rows) {
        const std::string input = bytesOf(row[0]);
        const std::string full = bytesOf(row[2]);
        const std::string half = bytesOf(row[4]);
        const auto first = static_cast<unsigned char>(input[0]);
        if (input.size() == 1) {
            // "?" is Windows' way of saying the form does not exist in code page 932.
            const unsigned expected = cp932IsLeadByte(first) || full.size() != 2
                                          ? 0
                                          : static_cast<unsigned>(std::stoul(row[2], nullptr, 16));
            EXPECT_EQ(cp932FullWidth(first), expected) << row[0];
        } else if (!cp932IsLeadByte(first)) {
            // A half-width katakana followed by a sound mark.
            const auto mark = static_cast<unsigned char>(input[1]);
            const unsigned expected = full.size() == 2 && full != "??" ? std::stoul(row[2], nullptr, 16) : 0;
            EXPECT_EQ(cp932FullWidthVoiced(first, mark), expected) << row[0];
            voicedPairs += expected != 0;
        } else {
            const Cp932HalfWidth form = cp932HalfWidth(std::stoul(row[0], nullptr, 16));
            std::string got;
            if (form.byte)
                got.push_back(static_cast<char>(form.byte));
            if (form.mark)
                got.push_back(static_cast<char>(form.mark));
            const bool hasForm = (half.size() == 1 && (half != "?" || input == "\x81\x48")) ||
                                 (half.size() == 2 && (half[1] == '\xDE' || half[1] == '\xDF') &&
                                  !cp932IsLeadByte(static_cast<unsigned char>(half[0])));
            EXPECT_EQ(hexOf(got), hasForm ? row[4] : "") << row[0];
        }
    }
    // ga to do, ba to po, vu.
    EXPECT_EQ(voicedPairs, 26u);
    EXPECT_EQ(cp932FullWidthVoiced(0xB6, 0xDD), 0u);
    EXPECT_EQ(cp932FullWidthVoiced(0x41, 0xDE), 0u);
}

}  // namespace
