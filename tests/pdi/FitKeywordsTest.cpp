// Keywords of fitting, as options and block properties spell them.
#include "pdfengine/FitKeywords.h"

#include <gtest/gtest.h>

using namespace pdfengine;

using Position = std::array<double, 2>;

TEST(FitKeywordsTest, PositionsFromNumbersAndKeywords)
{
    EXPECT_EQ(positionFromItems({"25", "75"}), (Position{25, 75}));
    EXPECT_EQ(positionFromItems({"40"}), (Position{40, 40}));
    EXPECT_EQ(positionFromItems({"left", "top"}), (Position{0, 100}));
    EXPECT_EQ(positionFromItems({"Right", "BOTTOM"}), (Position{100, 0}));
    EXPECT_EQ(positionFromItems({"center", "center"}), (Position{50, 50}));
    EXPECT_EQ(positionFromItems({"10", "top"}), (Position{10, 100}));
    EXPECT_EQ(positionFromItems({"left"}), (Position{0, 50}));
    EXPECT_EQ(positionFromItems({"top"}), (Position{50, 100}));
    EXPECT_EQ(positionFromItems({"center"}), (Position{50, 50}));
    EXPECT_EQ(positionFromItems({"+5", "-5.5"}), (Position{5, -5.5}));
    // Keywords on the wrong axis, and what is no position at all.
    for (const std::vector<std::string_view>& bad : std::vector<std::vector<std::string_view>>{
             {"top", "left"}, {"left", "right"}, {}, {"1", "2", "3"}, {"middle"}, {"5x"}, {"nan"}, {"+"}})
        EXPECT_FALSE(positionFromItems(bad).has_value()) << bad.size();
}
