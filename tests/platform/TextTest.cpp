#include <gtest/gtest.h>

#include "platform/Text.h"
#include "platform/WineText.h"

using namespace kestrane;

TEST(Text, Utf16RoundTripKeepsLoneSurrogatesAndAstralCharacters) {
    std::u16string units = {u'h', 0xE9, 0xD83D, 0xDE00, 0xD800, u'x'};
    EXPECT_EQ(text::toUtf16(text::toUtf8(units)), units);
    EXPECT_EQ(text::utf16Length(text::toUtf8(units)), units.size());
}

TEST(Text, NamesCompareAsWineSortsThem) {
    // Upper case letters sort as lower case, so '[' '_' sort before letters.
    EXPECT_LT(text::compareNames("[bracket]name", "A"), 0);
    EXPECT_LT(text::compareNames("_u", "a1"), 0);
    EXPECT_LT(text::compareNames("b", "bin"), 0);  // a prefix comes first
    EXPECT_LT(text::compareNames("Z", "\xC3\x84"), 0);  // non-ASCII after ASCII
    EXPECT_EQ(text::compareNames("Software", "SOFTWARE"), 0);
    EXPECT_EQ(text::compareNames("\xC3\x84rger", "\xC3\xA4RGER"), 0);  // Ärger == äRGER
    EXPECT_NE(text::compareNames("ab", "abc"), 0);
}

namespace {
std::string esc(std::u16string_view s, bool key = false) {
    std::string out;
    reg::winetext::escape(out, s, key);
    return out;
}
std::u16string unesc(std::string_view s, char term = '"') {
    std::u16string out;
    EXPECT_NE(reg::winetext::unescape(s, term, out), std::string_view::npos) << s;
    return out;
}
}  // namespace

TEST(WineText, EscapesAsWineWrites) {
    // Examples written by Wine itself.
    EXPECT_EQ(esc(u"a\tb\nc\x01" u"d\x01" u"5e\x1b" u"fg"), R"(a\tb\nc\1d\0015e\efg)");
    EXPECT_EQ(esc(u"\x00e9" u"a \x00e9G"), R"(\x00e9a \xe9G)");
    EXPECT_EQ(esc(u"h\xe9llo w\xf6rld \x2713 \xd83d\xde00"), R"(h\xe9llo w\xf6rld \x2713 \xd83d\xde00)");
    EXPECT_EQ(esc(u"q\"b\\"), R"(q\"b\\)");
    EXPECT_EQ(esc(u"key[with]\"q\"", true), R"(key\[with\]"q")");
    EXPECT_EQ(esc(u"\x7f"), "\x7f");
}

TEST(WineText, UnescapesWhatWineReads) {
    EXPECT_EQ(unesc(R"(a\tb\nc\1d\0015e\efg")"), u"a\tb\nc\x01" u"d\x01" u"5e\x1b" u"fg");
    EXPECT_EQ(unesc(R"(\x00e9a \xe9G")"), u"\x00e9" u"a \x00e9G");
    EXPECT_EQ(unesc(R"(\q\"\\")"), u"q\"\\");               // unknown escapes are literal
    EXPECT_EQ(unesc("h\xc3\xa9llo\""), u"h\x00e9llo");        // raw UTF-8
    EXPECT_EQ(unesc(R"(a\]b])", ']'), u"a]b");
    std::u16string out;
    EXPECT_EQ(reg::winetext::unescape("no end\n\"", '"', out), std::string_view::npos);
}
