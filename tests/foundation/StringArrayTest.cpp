#include <gtest/gtest.h>

#include "foundation/TORStringArray.h"

namespace {

TEST(StringArrayTest, GrowsFromNothingAndRespectsFixedSize)
{
    TORStringArray names(0, 8);
    EXPECT_TRUE(names.add("first"));
    EXPECT_EQ(names.getCapacity(), 8u);
    const char* text = nullptr;
    EXPECT_TRUE(names.get(&text, 0));
    EXPECT_STREQ(text, "first");
    EXPECT_FALSE(names.get(&text, 1));
    EXPECT_FALSE(names.get(nullptr, 0));
    EXPECT_FALSE(names.add(nullptr));

    TORStringArray fixed(1, 0);
    EXPECT_TRUE(fixed.add("a"));
    EXPECT_FALSE(fixed.add("b"));
    EXPECT_EQ(fixed.getCount(), 1);
    EXPECT_FALSE(fixed.setGrowStep(0));
    EXPECT_TRUE(fixed.setGrowStep(2));
    EXPECT_TRUE(fixed.add("b"));
    EXPECT_EQ(fixed.getCapacity(), 3u);
    EXPECT_TRUE(fixed.get(&text, 0));
    EXPECT_STREQ(text, "a");
}

TEST(StringArrayTest, FindsExactCaseIgnoringAndPatternMatches)
{
    TORStringArray groups(16, 8);
    groups.add("group");
    groups.add("Greeting");
    groups.add("Group");
    int32_t index = -1;
    EXPECT_TRUE(groups.find(&index, "Group", false));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(groups.find(&index, "Group", true));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(groups.find(&index, "GROUPS", true));
    EXPECT_TRUE(groups.find(&index, "Gr*", false));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(groups.find(&index, "?roup", false));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(groups.find(nullptr, "group", false));
    EXPECT_FALSE(groups.find(&index, nullptr, false));
}

TEST(WildcardTest, MatchesStarsAndQuestionMarks)
{
    EXPECT_EQ(wildcardCompare("report.log", "*.log", false), 0);
    EXPECT_NE(wildcardCompare("report.txt", "*.log", false), 0);
    EXPECT_NE(wildcardCompare("APP.LOG", "*.log", false), 0);
    EXPECT_EQ(wildcardCompare("APP.LOG", "*.log", true), 0);
    EXPECT_EQ(wildcardCompare("abc", "a?c", false), 0);
    EXPECT_NE(wildcardCompare("abbc", "a?c", false), 0);
    EXPECT_EQ(wildcardCompare("anything", "*", false), 0);
    EXPECT_EQ(wildcardCompare("", "*", false), 0);
    EXPECT_LT(wildcardCompare("ab", "abc", false), 0);
    EXPECT_EQ(wildcardCompare("app_20261206.log", "app*.log", false), 0);
    EXPECT_EQ(wildcardCompare("app_2026.old.log", "app*.old*", false), 0);
    EXPECT_NE(wildcardCompare("app.log", "app*.old*", false), 0);
    EXPECT_NE(wildcardCompare("a", "*.log", false), 0);
    EXPECT_EQ(wildcardCompare(nullptr, "x", false), 0);
    EXPECT_EQ(wildcardCompare("x", "", false), 0);
}

TEST(WildcardTest, FindSubstringStepsWholeCharacters)
{
    // "ア" is 83 41: its second byte is "A", which must not be found there.
    const char text[] = "\x83\x41" "xA";
    EXPECT_EQ(findSubstring(text, "A", false), text + 3);
    EXPECT_EQ(findSubstring(text, "a", true), text + 3);
    EXPECT_EQ(findSubstring(text, "q", false), nullptr);
    EXPECT_EQ(findSubstring(text, "", false), text);
    EXPECT_EQ(findSubstring(nullptr, "a", false), nullptr);
    // A lone lead byte at the end does not step past the terminator.
    EXPECT_EQ(findSubstring("ab\x83", "z", false), nullptr);
}

}  // namespace
