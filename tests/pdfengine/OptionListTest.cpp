// The option-list parser, through a table like the ones the calls use.
#include <gtest/gtest.h>

#include <string>

#include "pdfengine/EngineError.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"

using namespace pdfengine;

namespace {

constexpr std::string_view fitKeywords[] = {"nofit", "meet", "auto"};
constexpr OptionDef innerDefs[] = {
    {.name = "filename", .type = OptionType::String},
    {.name = "remove", .type = OptionType::Boolean},
};
constexpr OptionTable inner{innerDefs};
constexpr OptionDef testDefs[] = {
    {.name = "adjustpage", .type = OptionType::Boolean},
    {.name = "fitmethod", .type = OptionType::Keyword, .keywords = fitKeywords},
    {.name = "boxsize", .type = OptionType::NumberList, .min = 0, .minItems = 2, .maxItems = 2},
    {.name = "position", .type = OptionType::List},
    {.name = "scale", .type = OptionType::Number, .min = 0.01, .max = 100},
    {.name = "linecap", .type = OptionType::Integer, .min = 0, .max = 2},
    {.name = "title", .type = OptionType::String},
    {.name = "fillcolor", .type = OptionType::Color},
    {.name = "logging", .type = OptionType::OptionList, .nested = &inner},
    {.name = "fonts", .type = OptionType::String},
};
constexpr OptionTable testTable{testDefs};

OptionList parse(const std::string& text)
{
    return OptionList::parse(text, testTable);
}

// "<number> <type> <message>" of the error parsing text raises.
std::string parseError(const std::string& text)
{
    try {
        parse(text);
    } catch (const EngineError& e) {
        return std::to_string(e.code().number) + " " + std::to_string(e.code().type) + " " + e.what();
    }
    return "no error";
}

TEST(OptionListTest, AcceptsTheThreeFormsOfKeyAndValue)
{
    OptionList list = parse("fitmethod=meet  scale 2.5\tlinecap {1} title={two words}");
    EXPECT_EQ(list.getKeyword("fitmethod", 0), 1u);
    EXPECT_EQ(list.getNumber("scale", 0), 2.5);
    EXPECT_EQ(list.getInteger("linecap", 0), 1);
    EXPECT_EQ(list.getString("title"), "two words");
    EXPECT_FALSE(list.has("boxsize"));
    EXPECT_EQ(list.getNumber("boxsize", -1), -1);
}

TEST(OptionListTest, BooleanKeyAloneIsTrueAndDoesNotSwallowTheNextKey)
{
    OptionList list = parse("adjustpage fitmethod=auto");
    EXPECT_TRUE(list.getBool("adjustpage", false));
    EXPECT_EQ(list.getKeyword("fitmethod", 0), 2u);
    EXPECT_FALSE(parse("adjustpage false").getBool("adjustpage", true));
    EXPECT_FALSE(parse("adjustpage={FALSE}").getBool("adjustpage", true));
    EXPECT_TRUE(parse("scale=1 adjustpage").getBool("adjustpage", false));
    EXPECT_EQ(parseError("adjustpage=yes"), "1106 8 Option 'adjustpage' expects true or false, not 'yes'");
}

TEST(OptionListTest, KeysIgnoreCaseAndTheLastOccurrenceWins)
{
    OptionList list = parse("FitMethod=nofit fitmethod=MEET fonts={a=b} FONTS=c=d");
    EXPECT_EQ(list.getKeyword("fitmethod", 9), 1u);
    ASSERT_EQ(list.getAll("fonts").size(), 2u);
    EXPECT_EQ(list.getAll("fonts")[0], "a=b");
    EXPECT_EQ(list.getString("fonts"), "c=d");
}

TEST(OptionListTest, BracesNestAndKeepTheirBlanks)
{
    OptionList list = parse("position {left {top middle}} title={a {b} c} boxsize={100 20.5}");
    auto items = list.getItems("position");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], "left");
    EXPECT_EQ(items[1], "top middle");
    EXPECT_EQ(list.getString("title"), "a {b} c");
    EXPECT_EQ(list.getNumbers("boxsize"), (std::vector<double>{100, 20.5}));
}

TEST(OptionListTest, NestedListsAreCheckedAgainstTheirOwnTable)
{
    OptionList list = parse("logging={filename={my trace.txt} remove}");
    OptionList logging = list.getOptionList("logging");
    EXPECT_EQ(logging.getString("filename"), "my trace.txt");
    EXPECT_TRUE(logging.getBool("remove", false));
    EXPECT_EQ(parseError("logging={filenam=x}"), "1101 8 Unknown option 'filenam'");
}

TEST(OptionListTest, TheUtf8MarkAtTheStartIsRemovedAndRemembered)
{
    OptionList list = parse("\xEF\xBB\xBFtitle={\xE6\x97\xA5}");
    EXPECT_TRUE(list.utf8());
    EXPECT_EQ(list.getString("title"), "\xE6\x97\xA5");
    EXPECT_TRUE(list.getOptionList("logging").empty());
    EXPECT_FALSE(parse("title=x").utf8());
}

TEST(OptionListTest, ColoursNameTheirSpace)
{
    Color color = parse("fillcolor={rgb 1 0.5 0}").getColor("fillcolor");
    EXPECT_EQ(color.space, ColorSpace::Rgb);
    EXPECT_EQ(color.components[1], 0.5);
    EXPECT_EQ(parse("fillcolor={cmyk 0 0 0 1}").getColor("fillcolor").components[3], 1);
    EXPECT_EQ(parseError("fillcolor={rgb 1 0}"),
              "1111 8 Option 'fillcolor' expects a colour such as {rgb 1 0 0}, not 'rgb 1 0'");
    EXPECT_EQ(parseError("fillcolor={hsv 1 0 0}"),
              "1111 8 Option 'fillcolor' expects a colour such as {rgb 1 0 0}, not 'hsv 1 0 0'");
    EXPECT_EQ(parseError("fillcolor={gray 2}"),
              "1108 9 Option 'fillcolor' has a colour component out of range (0 to 1): '2'");
}

TEST(OptionListTest, EmptyAndBlankListsHaveNoOptions)
{
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse("  \t\r\n ").empty());
    EXPECT_TRUE(OptionList::parse("", options::none).empty());
}

TEST(OptionListTest, SyntaxErrorsNameTheOffendingText)
{
    EXPECT_EQ(parseError("adjstpage"), "1101 8 Unknown option 'adjstpage'");
    EXPECT_EQ(parseError("scale=1 unknown=2"), "1101 8 Unknown option 'unknown'");
    EXPECT_THROW(OptionList::parse("x", options::none), EngineError);
}

TEST(OptionListTest, UnbalancedBracesAreSyntaxErrors)
{
    EXPECT_EQ(parseError("title={abc"), "1102 8 Unbalanced braces in option list 'title={abc'");
    EXPECT_EQ(parseError("title={a{b}"), "1102 8 Unbalanced braces in option list 'title={a{b}'");
    EXPECT_EQ(parseError("title=abc}"), "1102 8 Unbalanced braces in option list 'title=abc}'");
    EXPECT_EQ(parseError("}"), "1102 8 Unbalanced braces in option list '}'");
    EXPECT_EQ(parseError("{scale=1}"),
              "1104 8 Expected an option name instead of '{scale=1}' in option list '{scale=1}'");
    EXPECT_EQ(parseError("=1"), "1104 8 Expected an option name instead of '=' in option list '=1'");
}

TEST(OptionListTest, MissingValuesAreSyntaxErrors)
{
    EXPECT_EQ(parseError("scale"), "1103 8 Option 'scale' has no value");
    EXPECT_EQ(parseError("scale= 2"), "1103 8 Option 'scale' has no value");
    EXPECT_EQ(parseError("title="), "1103 8 Option 'title' has no value");
    // An empty braced value is a value.
    EXPECT_EQ(parse("title={}").getString("title"), "");
}

TEST(OptionListTest, NumbersAreCheckedForTypeAndRange)
{
    EXPECT_EQ(parseError("linecap=3"), "1108 9 Option 'linecap' must be between 0 and 2, not '3'");
    EXPECT_EQ(parseError("linecap=1.5"), "1107 8 Option 'linecap' expects an integer, not '1.5'");
    EXPECT_EQ(parseError("linecap=round"), "1107 8 Option 'linecap' expects an integer, not 'round'");
    EXPECT_EQ(parseError("scale=0"), "1108 9 Option 'scale' must be between 0.01 and 100, not '0'");
    EXPECT_EQ(parseError("scale=1,5"), "1105 8 Option 'scale' expects a number, not '1,5'");
    EXPECT_EQ(parseError("scale=nan"), "1105 8 Option 'scale' expects a number, not 'nan'");
    EXPECT_EQ(parseError("scale=inf"), "1105 8 Option 'scale' expects a number, not 'inf'");
    EXPECT_EQ(parse("scale=+.5").getNumber("scale", 0), 0.5);
    EXPECT_EQ(parse("linecap=2.0").getInteger("linecap", 0), 2);
    EXPECT_EQ(parseError("boxsize={100}"), "1110 8 Option 'boxsize' expects 2 values, not 1");
    EXPECT_EQ(parseError("boxsize={100 -1}"), "1108 9 Option 'boxsize' must be at least 0, not '-1'");
}

TEST(OptionListTest, KeywordsAreCheckedAgainstTheirChoices)
{
    EXPECT_EQ(parseError("fitmethod=clip"),
              "1109 9 Option 'fitmethod' does not accept 'clip' (expected nofit, meet or auto)");
}

}  // namespace
