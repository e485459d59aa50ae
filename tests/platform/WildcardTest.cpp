#include <gtest/gtest.h>

#include <string>

#include "platform/Wildcard.h"

namespace kestrane::files {
namespace {

TEST(WildcardTest, StarAndQuestionMarkWithoutRegardToCase) {
    EXPECT_TRUE(matchesWildcard("A.TXT", "*.txt"));
    EXPECT_TRUE(matchesWildcard("report.Tmp", "*.TMP"));
    EXPECT_FALSE(matchesWildcard("a.txt.bak", "*.txt"));
    EXPECT_TRUE(matchesWildcard("abc", "a?c"));
    EXPECT_FALSE(matchesWildcard("ac", "a?c"));
    EXPECT_FALSE(matchesWildcard("abbc", "a?c"));
    EXPECT_TRUE(matchesWildcard("xaxxb", "*a*b"));   // needs backtracking
    EXPECT_FALSE(matchesWildcard("xab1", "*a*b"));
    EXPECT_TRUE(matchesWildcard("index.dat", "index.dat"));
    EXPECT_FALSE(matchesWildcard("index.dat", "index.da"));
    EXPECT_TRUE(matchesWildcard("\xC3\x84" "BC.txt", "\xC3\xA4" "bc.TXT"));  // Ä and ä
}

TEST(WildcardTest, StarDotStarAlsoMatchesNamesWithoutADot) {
    for (const char* name : {"readme", "a.b", "a.b.c", ".", "..", ".hidden"})
        EXPECT_TRUE(matchesWildcard(name, "*.*")) << name;
    EXPECT_TRUE(matchesWildcard("a", "a.*"));
    EXPECT_TRUE(matchesWildcard("a.log", "a.*"));
    EXPECT_FALSE(matchesWildcard("ab", "a.*"));
    EXPECT_TRUE(matchesWildcard("readme", "*."));
    EXPECT_FALSE(matchesWildcard("a.b", "*."));
}

TEST(WildcardTest, AStarInTheNameIsAPlainCharacter) {
    // Linux programs may put '*' and '?' in file names; a '*' of the pattern
    // facing one still stands for any run of characters.
    EXPECT_TRUE(matchesWildcard("report.*draft", "*.*"));
    EXPECT_TRUE(matchesWildcard(".*a", "*.*"));
    EXPECT_TRUE(matchesWildcard("a*b*c.txt", "*b*.txt"));
    EXPECT_TRUE(matchesWildcard("x?y", "x?y"));
    EXPECT_FALSE(matchesWildcard("a*b", "a*c"));
    // The name and pattern the fuzzer found (fuzz/regressions/winpath).
    const std::string found("noa~\\exp\xff*.*\x16\x16\x16");
    EXPECT_TRUE(matchesWildcard(found, "*.*"));
    EXPECT_TRUE(matchesWildcard(found, found));
}

TEST(WildcardTest, DotEntriesMatchOnlyPatternsThatAllowThem) {
    EXPECT_TRUE(matchesWildcard(".", "*"));
    EXPECT_TRUE(matchesWildcard("..", "*"));
    EXPECT_FALSE(matchesWildcard(".", "*.txt"));
    EXPECT_FALSE(matchesWildcard("..", "?"));
}

}  // namespace
}  // namespace kestrane::files
