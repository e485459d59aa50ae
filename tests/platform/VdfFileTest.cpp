// Valve's KeyValues text as Steam writes it: nested objects in file order,
// quoted and bare tokens, escapes, comments, both line ends, both forms of
// libraryfolders.vdf, and malformed or hostile text refused with its line.

#include <gtest/gtest.h>

#include <string>

#include "platform/VdfFile.h"

namespace kestrane::vdf {
namespace {

// The tree as {key=value,key={...}}, so that whole trees compare at once.
std::string dump(const Node& node) {
    if (node.isText())
        return node.text();
    std::string out = "{";
    for (const Entry& entry : node.entries()) {
        if (out.size() > 1)
            out += ",";
        out += entry.key + "=" + dump(entry.value);
    }
    return out + "}";
}

std::string dumpOf(std::string_view text) {
    auto tree = parse(text);
    EXPECT_TRUE(tree.ok()) << tree.error().message;
    return tree.ok() ? dump(tree.value()) : "";
}

std::string errorOf(std::string_view text, const std::string& fileName = "") {
    auto tree = parse(text, fileName);
    EXPECT_FALSE(tree.ok()) << dump(tree.value());
    if (tree.ok())
        return "";
    EXPECT_EQ(tree.error().kind, ErrorKind::Malformed);
    return tree.error().message;
}

// Objects nested depth deep, one "k" { per line.
std::string nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "\"k\" {\n";
    text += "\"leaf\" \"x\"\n";
    for (int i = 0; i < depth; ++i)
        text += "}\n";
    return text;
}

TEST(VdfParse, NestedObjectsKeepTheirEntriesInFileOrder) {
    const char* text = "\"root\"\n"
                       "{\n"
                       "\t\"a\"\t\t\"1\"\n"
                       "\t\"child\"\n"
                       "\t{\n"
                       "\t\t\"b\"\t\t\"2\"\n"
                       "\t\t\"b\"\t\t\"3\"\n"
                       "\t}\n"
                       "\t\"c\"\t\t\"4\"\n"
                       "}\n"
                       "\"second\"\t\"x\"\n";
    EXPECT_EQ(dumpOf(text), "{root={a=1,child={b=2,b=3},c=4},second=x}");
}

TEST(VdfParse, BareAndQuotedTokens) {
    EXPECT_EQ(dumpOf("key value\nobj{ inner x }\n\"a b\" bare\nempty \"\""),
              "{key=value,obj={inner=x},a b=bare,empty=}");
    // A quoted text may hold braces, blanks and a line break.
    auto tree = parse("\"k\" \"{ not } an object\"\n\"two\" \"line one\nline two\"\n");
    ASSERT_TRUE(tree.ok()) << tree.error().message;
    EXPECT_EQ(tree->textOf("k"), "{ not } an object");
    EXPECT_EQ(tree->textOf("two"), "line one\nline two");
}

TEST(VdfParse, EscapesInQuotedTexts) {
    auto tree = parse(R"("say" "\"hi\" \\ now\n\tthere"
"path" "C:\\Program Files (x86)\\Steam"
"odd" "\q"
)");
    ASSERT_TRUE(tree.ok()) << tree.error().message;
    EXPECT_EQ(tree->textOf("say"), "\"hi\" \\ now\n\tthere");
    EXPECT_EQ(tree->textOf("path"), "C:\\Program Files (x86)\\Steam");
    EXPECT_EQ(tree->textOf("odd"), "\\q");  // an unknown escape is kept as written
}

TEST(VdfParse, CommentsRunToTheEndOfTheLine) {
    const char* text = "// written by Steam\n"
                       "\"k\" \"v\" // after a value\n"
                       "// \"ignored\" \"entry\"\n"
                       "\"url\" \"http://example.com/a//b\"\n"
                       "\"obj\" // before the brace\n"
                       "{ \"x\" \"y\" } // after it\n"
                       "// at the end, without a line break";
    EXPECT_EQ(dumpOf(text), "{k=v,url=http://example.com/a//b,obj={x=y}}");
}

TEST(VdfParse, CrLfAndLfReadTheSame) {
    const std::string lf = "\"AppState\"\n{\n\t\"appid\"\t\t\"440\"\n\t\"name\"\t\t\"Team Fortress 2\"\n}\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(dumpOf(crlf), dumpOf(lf));
    EXPECT_EQ(dumpOf(lf), "{AppState={appid=440,name=Team Fortress 2}}");
    EXPECT_EQ(errorOf("\"a\" \"1\"\r\n\"b\"\r\n}\r\n"), "line 2: the key \"b\" has no value");
}

TEST(VdfParse, AByteOrderMarkAndEmptyTextAreAccepted) {
    EXPECT_EQ(dumpOf("\xEF\xBB\xBF\"k\" \"v\""), "{k=v}");
    EXPECT_EQ(dumpOf(""), "{}");
    EXPECT_EQ(dumpOf("// nothing but a comment\n\n"), "{}");
}

TEST(VdfParse, ConditionsAreReadAndIgnored) {
    EXPECT_EQ(dumpOf("\"k\" \"v\" [$WIN32]\n\"obj\" [$LINUX]\n{\n\t\"x\" \"y\" [!$X360]\n}\n\"after\" \"z\""),
              "{k=v,obj={x=y},after=z}");
}

TEST(VdfNode, KeysCompareWithoutCaseAndTheFirstOfARepeatedKeyWins) {
    auto tree = parse("\"AppState\" { \"Name\" \"first\" \"name\" \"second\" \"sub\" { } }");
    ASSERT_TRUE(tree.ok()) << tree.error().message;
    const Node* state = tree->find("appstate");
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(state->isObject());
    EXPECT_EQ(state->textOf("NAME"), "first");
    EXPECT_EQ(state->textOf("sub"), std::nullopt);  // an object, not a text
    EXPECT_EQ(state->textOf("missing"), std::nullopt);
    ASSERT_NE(state->find("name"), nullptr);
    EXPECT_EQ(state->find("name")->find("anything"), nullptr);  // a text has no entries
    EXPECT_TRUE(state->find("name")->entries().empty());
    EXPECT_TRUE(state->text().empty());
}

TEST(VdfLibraryFolders, TheNewerFormHoldsAnObjectPerLibrary) {
    const char* text = "\"libraryfolders\"\n"
                       "{\n"
                       "\t\"0\"\n"
                       "\t{\n"
                       "\t\t\"path\"\t\t\"/home/user/.local/share/Steam\"\n"
                       "\t\t\"label\"\t\t\"\"\n"
                       "\t\t\"contentid\"\t\t\"5121385962514488245\"\n"
                       "\t\t\"totalsize\"\t\t\"0\"\n"
                       "\t\t\"apps\"\n"
                       "\t\t{\n"
                       "\t\t\t\"228980\"\t\t\"166758064\"\n"
                       "\t\t}\n"
                       "\t}\n"
                       "\t\"1\"\n"
                       "\t{\n"
                       "\t\t\"path\"\t\t\"/mnt/games/SteamLibrary\"\n"
                       "\t\t\"label\"\t\t\"Games\"\n"
                       "\t}\n"
                       "}\n";
    auto tree = parse(text);
    ASSERT_TRUE(tree.ok()) << tree.error().message;
    const Node* folders = tree->find("libraryfolders");
    ASSERT_NE(folders, nullptr);
    ASSERT_EQ(folders->entries().size(), 2u);
    EXPECT_EQ(folders->entries()[0].key, "0");
    EXPECT_EQ(folders->entries()[0].value.textOf("path"), "/home/user/.local/share/Steam");
    ASSERT_NE(folders->entries()[0].value.find("apps"), nullptr);
    EXPECT_EQ(folders->entries()[0].value.find("apps")->textOf("228980"), "166758064");
    EXPECT_EQ(folders->entries()[1].key, "1");
    EXPECT_EQ(folders->entries()[1].value.textOf("path"), "/mnt/games/SteamLibrary");
    EXPECT_EQ(folders->entries()[1].value.textOf("label"), "Games");
}

TEST(VdfLibraryFolders, TheOlderFormGivesThePathAsTheValue) {
    const char* text = "\"LibraryFolders\"\n"
                       "{\n"
                       "\t\"TimeNextStatsReport\"\t\t\"1600000000\"\n"
                       "\t\"ContentStatsID\"\t\t\"-4367789898226395012\"\n"
                       "\t\"1\"\t\t\"/mnt/games/SteamLibrary\"\n"
                       "\t\"2\"\t\t\"/media/usb/Steam\"\n"
                       "}\n";
    auto tree = parse(text);
    ASSERT_TRUE(tree.ok()) << tree.error().message;
    const Node* folders = tree->find("libraryfolders");
    ASSERT_NE(folders, nullptr);
    EXPECT_EQ(folders->textOf("1"), "/mnt/games/SteamLibrary");
    EXPECT_EQ(folders->textOf("2"), "/media/usb/Steam");
    EXPECT_EQ(folders->entries().size(), 4u);
}

TEST(VdfMalformed, ErrorsNameTheLine) {
    EXPECT_EQ(errorOf("\"a\" \"1\"\n\"b\" \"not closed\nmore"),
              "line 2: the quoted text that starts here is not closed");
    EXPECT_EQ(errorOf("\"a\" \"ends in a backslash\\"), "line 1: the quoted text that starts here is not closed");
    EXPECT_EQ(errorOf("\"a\" \"1\"\n}\n"), "line 2: a } that closes nothing");
    EXPECT_EQ(errorOf("\n\n{ \"a\" \"1\" }"), "line 3: a { where a key should be");
    EXPECT_EQ(errorOf("\"a\" \"1\"\n\"lonely\""), "line 2: the key \"lonely\" has no value");
    EXPECT_EQ(errorOf("\"obj\"\n{\n\t\"a\" }"), "line 3: the key \"a\" has no value");
    EXPECT_EQ(errorOf("\"obj\"\n{\n\t\"inner\"\n\t{\n\t}\n\t\"a\" \"1\"\n"), "line 2: the { here is not closed");
}

TEST(VdfMalformed, LinesAreCountedInsideQuotedTextsAndComments) {
    EXPECT_EQ(errorOf("\"a\" \"one\ntwo\"\n// a comment\n\"b\" {\n"), "line 4: the { here is not closed");
}

TEST(VdfMalformed, TheMessageStartsWithTheFileName) {
    EXPECT_EQ(errorOf("\"AppState\"\n{\n\t\"name\"\t\"Half", "/lib/steamapps/appmanifest_70.acf"),
              "/lib/steamapps/appmanifest_70.acf, line 3: the quoted text that starts here is not closed");
}

TEST(VdfNesting, SixtyFourLevelsAreRead) {
    auto tree = parse(nested(kMaxDepth));
    ASSERT_TRUE(tree.ok()) << tree.error().message;
    const Node* node = &tree.value();
    for (int level = 0; level < kMaxDepth; ++level) {
        node = node->find("k");
        ASSERT_NE(node, nullptr) << "level " << level;
    }
    EXPECT_EQ(node->textOf("leaf"), "x");
}

TEST(VdfNesting, DeeperNestingIsRefusedAtTheBraceThatGoesTooDeep) {
    EXPECT_EQ(errorOf(nested(kMaxDepth + 1)), "line 65: objects are nested more than 64 deep");
    // A hostile file: far deeper than any stack would take, all on one line.
    std::string hostile;
    for (int i = 0; i < 200000; ++i)
        hostile += "\"k\"{";
    EXPECT_EQ(errorOf(hostile), "line 1: objects are nested more than 64 deep");
}

}  // namespace
}  // namespace kestrane::vdf
