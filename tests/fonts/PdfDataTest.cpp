#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pdfengine/CidWidthArray.h"
#include "pdfengine/ToUnicodeCMap.h"

using namespace pdfengine;

namespace {

// The lines between "begin<kind>" and "end<kind>", all blocks together.
std::vector<std::string> section(const std::string& cmap, const std::string& kind)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while ((at = cmap.find(" begin" + kind + "\n", at)) != std::string::npos) {
        at = cmap.find('\n', at) + 1;
        size_t end = cmap.find("end" + kind, at);
        while (at < end) {
            size_t eol = cmap.find('\n', at);
            lines.push_back(cmap.substr(at, eol - at));
            at = eol + 1;
        }
    }
    return lines;
}

}  // namespace

TEST(ToUnicodeCMap, RangesCharsAndSurrogates)
{
    ToUnicodeCMap cmap;
    for (uint32_t code = 0x10; code <= 0x14; ++code)
        cmap.add(code, std::u32string(1, U'A' + (code - 0x10)));
    cmap.add(0x20, U"日");
    cmap.add(0x21, U"\U00020BB7");  // 𠮷: a surrogate pair
    cmap.add(0x22, U"ff");          // a ligature stands for two characters
    cmap.add(0x20, U"X");           // the first text of a code stays
    cmap.add(0x23, U"");            // nothing to say
    std::string text = cmap.build();
    EXPECT_EQ(section(text, "codespacerange"), std::vector<std::string>{"<0000> <FFFF>"});
    EXPECT_EQ(section(text, "bfrange"), std::vector<std::string>{"<0010> <0014> <0041>"});
    EXPECT_EQ(section(text, "bfchar"),
              (std::vector<std::string>{"<0020> <65E5>", "<0021> <D842DFB7>", "<0022> <00660066>"}));
    EXPECT_NE(text.find("/CMapType 2 def"), std::string::npos);
    EXPECT_EQ(text.rfind("end\nend\n"), text.size() - 8);
}

TEST(ToUnicodeCMap, RangesStopAtByteBoundariesAndBlocksHoldAHundred)
{
    ToUnicodeCMap cmap;
    // Codes 00FE-0101 with consecutive characters: the range must not cross 00FF/0100.
    for (uint32_t code = 0xFE; code <= 0x101; ++code)
        cmap.add(code, std::u32string(1, char32_t(0x3000 + code)));
    // Characters whose last byte wraps: 30FF then 3100.
    cmap.add(0x200, U"\u30FF");
    cmap.add(0x201, U"\u3100");
    auto ranges = section(cmap.build(), "bfrange");
    EXPECT_EQ(ranges, (std::vector<std::string>{"<00FE> <00FF> <30FE>", "<0100> <0101> <3100>"}));
    EXPECT_EQ(section(cmap.build(), "bfchar"), (std::vector<std::string>{"<0200> <30FF>", "<0201> <3100>"}));

    ToUnicodeCMap many;
    for (uint32_t code = 0; code < 250; ++code)
        many.add(code * 2, std::u32string(1, char32_t(0x4E00 + code)));
    std::string text = many.build();
    EXPECT_NE(text.find("100 beginbfchar"), std::string::npos);
    EXPECT_NE(text.find("50 beginbfchar"), std::string::npos);
    EXPECT_EQ(section(text, "bfchar").size(), 250u);
}

TEST(ToUnicodeCMap, ShiftJisCodeSpace)
{
    ToUnicodeCMap cmap = ToUnicodeCMap::shiftJis();
    cmap.add(0x41, U"A");
    cmap.add(0x8740, U"①");
    cmap.add(0xB1, U"ｱ");
    cmap.add(0xFD, U"?");    // no code of the code space: ignored
    cmap.add(0x8130, U"?");  // trail byte outside 40-FC
    std::string text = cmap.build();
    EXPECT_EQ(section(text, "codespacerange"),
              (std::vector<std::string>{"<00> <80>", "<8140> <9FFC>", "<A0> <DF>", "<E040> <FCFC>"}));
    EXPECT_EQ(section(text, "bfchar"),
              (std::vector<std::string>{"<41> <0041>", "<B1> <FF71>", "<8740> <2460>"}));
    EXPECT_EQ(cmap.size(), 3u);
}

TEST(CidWidthArray, WritesRunsListsAndLeavesOutTheDefault)
{
    std::map<uint32_t, int> widths = {{1, 270},   {2, 298},    {3, 338},    {5, 630},
                                      {231, 500}, {232, 500},  {233, 500},  {234, 500},
                                      {235, 640}, {633, 1000}, {3284, 1000}};
    EXPECT_EQ(CidWidthArray::toPdf(CidWidthArray::build(widths, 1000)),
              "[1 [270 298 338] 5 [630] 231 234 500 235 [640]]");
    // Two equal widths are cheaper inside a list.
    EXPECT_EQ(CidWidthArray::toPdf(CidWidthArray::build({{10, 500}, {11, 500}, {12, 600}}, 1000)),
              "[10 [500 500 600]]");
    EXPECT_EQ(CidWidthArray::toPdf(CidWidthArray::build({{7, 1000}}, 1000)), "[]");
    EXPECT_EQ(CidWidthArray::toPdf(CidWidthArray::build({{7, 1000}}, 500)), "[7 [1000]]");
}
