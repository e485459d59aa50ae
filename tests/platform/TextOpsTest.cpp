#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/TextOps.h"

namespace kestrane::text {
namespace {

TEST(SizeTextTest, PicksTheLargestUnitWithTwoDecimals) {
    EXPECT_EQ(sizeText("1073741824"), "1.00 GB");
    EXPECT_EQ(sizeText("1048575"), "1024.00 KB");  // not yet a whole MB
    EXPECT_EQ(sizeText("1048576"), "1.00 MB");
    EXPECT_EQ(sizeText("1572864"), "1.50 MB");
    EXPECT_EQ(sizeText("1536"), "1.50 KB");
    EXPECT_EQ(sizeText("1024"), "1.00 KB");
    EXPECT_EQ(sizeText("1023"), "1023 bytes");
    EXPECT_EQ(sizeText("0"), "0 bytes");
}

TEST(SizeTextTest, CountsBeyond32BitsAndNegativeCounts) {
    EXPECT_EQ(sizeText("3221225472"), "3.00 GB");
    EXPECT_EQ(sizeText("5905580032"), "5.50 GB");
    EXPECT_EQ(sizeText("9223372036854775807"), "8589934592.00 GB");
    EXPECT_EQ(sizeText("-1"), "-1 bytes");
    EXPECT_EQ(sizeText("-2048"), "-2.00 KB");
    EXPECT_EQ(sizeText("+5"), "5 bytes");
}

TEST(SizeTextTest, TextThatIsNotANumberRaises) {
    for (const char* bad : {"", "abc", "12a", " 12", "1.5", "1e3", "-", "+", "+-1", "99999999999999999999"})
        EXPECT_THROW(sizeText(bad), std::invalid_argument) << bad;
}

TEST(RemoveSubstringTest, RemovesRepeatedlyFromTheStart) {
    EXPECT_EQ(removeSubstring("WINDOWS", "WIWINDOWSNDOWS"), "");
    EXPECT_EQ(removeSubstring("WINDOWS", "C:\\WINDOWS"), "C:\\");
    EXPECT_EQ(removeSubstring("ab", "aabbx"), "x");
    EXPECT_EQ(removeSubstring("HKCU\\", "HKCU\\Software\\HKCU\\x"), "Software\\x");
}

TEST(RemoveSubstringTest, IsCaseSensitiveAndIgnoresAnEmptyPattern) {
    EXPECT_EQ(removeSubstring("WINDOWS", "C:\\Windows"), "C:\\Windows");
    EXPECT_EQ(removeSubstring("", "text"), "text");
    EXPECT_EQ(removeSubstring("x", ""), "");
}

TEST(SplitTextTest, PiecesBetweenSeparators) {
    std::vector<std::string> list{"stale"};
    splitText("a==b", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{"a", "", "b"}));
    splitText("a=", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{"a"}));
    splitText("=a", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{"", "a"}));
    splitText("abc", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{"abc"}));
    splitText("", '=', list);
    EXPECT_TRUE(list.empty());
    splitText("=", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{""}));
    splitText("a==", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{"a", ""}));
    splitText("Caption=HKCU\\Software\\X", '=', list);
    EXPECT_EQ(list, (std::vector<std::string>{"Caption", "HKCU\\Software\\X"}));
}

}  // namespace
}  // namespace kestrane::text
