// The regedit program, run in-process against temporary prefixes.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "RegeditCommand.h"
#include "TerminalPrompter.h"
#include "platform/RegFile.h"
#include "platform/RegistryStore.h"
#include "support/FakeWineServer.h"
#include "support/TempPrefix.h"

using namespace kestrane;
using namespace kestrane::regedit;
using kestrane::test::readFile;
using kestrane::test::TempPrefix;
using kestrane::test::writeFile;

namespace fs = std::filesystem;

namespace {

const char* const kSystem = "\n[Software\\\\Vendor] 1700000000\n#time=1d0000000000000\n\"Machine\"=\"yes\"\n";
const char* const kUser = "\n[Software\\\\Mine] 1700000000\n#time=1d0000000000000\n\"Old\"=\"1\"\n";
const char* const kChange = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Mine]\n\"Old\"=-\n\"New\"=\"2\"\n";

struct Call {
    std::string kind;  // "confirm" or "inform"
    std::string title;
    std::string text;
};

class ScriptedPrompter : public Prompter {
public:
    bool answer = true;
    std::vector<Call> calls;

    bool confirm(const std::string& title, const std::string& text) override {
        calls.push_back({"confirm", title, text});
        return answer;
    }
    void inform(const std::string& title, const std::string& text) override {
        calls.push_back({"inform", title, text});
    }
};

class Regedit : public ::testing::Test {
protected:
    Regedit() : m_dir(test::makeTempDir("kestrane-regedit")) {}
    ~Regedit() override { fs::remove_all(m_dir); }

    int run(std::vector<std::string> args, Environment env = {}) {
        out.str("");
        err.str("");
        prompter.calls.clear();
        RegeditCommand command(out, err, prompter, std::move(env));
        return command.run(args);
    }

    std::string file(const std::string& name, const std::string& content) {
        const auto path = m_dir / name;
        writeFile(path, content);
        return path.string();
    }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    static std::optional<reg::Value> userValue(const TempPrefix& prefix, const std::string& name) {
        auto store = reg::RegistryStore::openPrefix(prefix.path());
        EXPECT_TRUE(store.ok());
        auto key = store.value()->openKey(reg::Root::CurrentUser, "Software\\Mine");
        return key ? store.value()->queryValue(*key, name) : std::nullopt;
    }

    std::ostringstream out, err;
    ScriptedPrompter prompter;

private:
    fs::path m_dir;
};

}  // namespace

TEST_F(Regedit, ExportsTheWholeRegistryOfThePrefix) {
    TempPrefix prefix(kSystem, kUser);
    const std::string target = path("backup.reg");
    ASSERT_EQ(run({"--prefix", prefix.path().string(), "/e", target}), kExitOk) << err.str();
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(store.ok());
    EXPECT_EQ(readFile(target), reg::exportRegistry(*store.value()));
    EXPECT_TRUE(prompter.calls.empty());
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(target).parent_path()), fs::directory_iterator()), 1);

    for (const char* option : {"-e", "/E", "-E"}) {
        fs::remove(target);
        EXPECT_EQ(run({"--prefix=" + prefix.path().string(), option, target}), kExitOk) << option;
        EXPECT_TRUE(fs::exists(target)) << option;
    }
}

TEST_F(Regedit, ImportAsksFirstAndReportsCompletionUnderTheSameTitle) {
    for (std::vector<std::string> form : {std::vector<std::string>{"/i"}, {"-i"}, {"/I"}, {}}) {
        TempPrefix prefix(kSystem, kUser);
        const std::string change = file("change.reg", kChange);
        std::vector<std::string> args = {"--prefix", prefix.path().string()};
        args.insert(args.end(), form.begin(), form.end());
        args.push_back(change);
        ASSERT_EQ(run(args), kExitOk) << err.str();
        ASSERT_EQ(prompter.calls.size(), 2u);
        EXPECT_EQ(prompter.calls[0].kind, "confirm");
        EXPECT_EQ(prompter.calls[0].title, "Registry Editor");
        EXPECT_NE(prompter.calls[0].text.find(change), std::string::npos);
        EXPECT_EQ(prompter.calls[1].kind, "inform");
        EXPECT_EQ(prompter.calls[1].title, "Registry Editor");
        EXPECT_NE(prompter.calls[1].text.find("successfully"), std::string::npos);
        // Saved to the prefix's files.
        EXPECT_FALSE(userValue(prefix, "Old"));
        EXPECT_EQ(userValue(prefix, "New")->text(), "2");
    }
}

TEST_F(Regedit, SilentImportAsksNothing) {
    for (std::vector<std::string> form : {std::vector<std::string>{"/s"}, {"-S"}, {"/S", "/i"}}) {
        TempPrefix prefix(kSystem, kUser);
        std::vector<std::string> args = form;
        args.push_back(file("change.reg", kChange));
        ASSERT_EQ(run(args, Environment{prefix.path().string(), ""}), kExitOk) << err.str();
        EXPECT_TRUE(prompter.calls.empty());
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(userValue(prefix, "New")->text(), "2");
    }
}

TEST_F(Regedit, DeclinedImportChangesNothing) {
    TempPrefix prefix(kSystem, kUser);
    const std::string before = readFile(prefix.userReg());
    prompter.answer = false;
    EXPECT_EQ(run({"--prefix", prefix.path().string(), file("change.reg", kChange)}), kExitFailure);
    ASSERT_EQ(prompter.calls.size(), 1u);
    EXPECT_NE(err.str().find("nothing was imported"), std::string::npos);
    EXPECT_EQ(readFile(prefix.userReg()), before);
}

TEST_F(Regedit, ThePrefixIsTheOptionElseWineprefixElseHomeWine) {
    TempPrefix optionPrefix("\n[Software\\\\FromOption] 1700000000\n", kUser);
    TempPrefix envPrefix("\n[Software\\\\FromEnvironment] 1700000000\n", kUser);
    TempPrefix homePrefix("\n[Software\\\\FromHome] 1700000000\n", kUser);
    const fs::path home = path("home");
    fs::create_directories(home);
    fs::create_symlink(homePrefix.path(), home / ".wine");
    const std::string target = path("out.reg");
    auto exported = [&]() { return reg::parseRegFile(readFile(target), target).value().at(2).key; };

    ASSERT_EQ(run({"--prefix", optionPrefix.path().string(), "/e", target},
                  Environment{envPrefix.path().string(), home.string()}),
              kExitOk);
    EXPECT_EQ(exported(), "HKEY_LOCAL_MACHINE\\Software\\FromOption");
    ASSERT_EQ(run({"/e", target}, Environment{envPrefix.path().string(), home.string()}), kExitOk);
    EXPECT_EQ(exported(), "HKEY_LOCAL_MACHINE\\Software\\FromEnvironment");
    ASSERT_EQ(run({"/e", target}, Environment{"", home.string()}), kExitOk);
    EXPECT_EQ(exported(), "HKEY_LOCAL_MACHINE\\Software\\FromHome");
}

TEST_F(Regedit, BadCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> lines = {
        {}, {"/e"}, {"/x", "f.reg"}, {"--verbose", "f.reg"}, {"/e", "a.reg", "HKEY_CURRENT_USER"},
        {"/e", "a.reg", "/s"}, {"a.reg", "b.reg"}, {"--prefix"},
    };
    for (const auto& line : lines) {
        EXPECT_EQ(run(line, Environment{"/nonexistent", ""}), kExitUsage) << testing::PrintToString(line);
        EXPECT_NE(err.str().find("Usage: regedit"), std::string::npos);
    }
    EXPECT_EQ(run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("Usage: regedit"), std::string::npos);
}

TEST_F(Regedit, FailuresExitNonZeroWithAMessage) {
    TempPrefix prefix(kSystem, kUser);
    const std::string before = readFile(prefix.userReg());
    const std::string p = prefix.path().string();

    EXPECT_EQ(run({"--prefix", p, "/s", path("missing.reg")}), kExitFailure);
    EXPECT_NE(err.str().find("missing.reg"), std::string::npos) << err.str();

    // A broken file is reported before any question, and nothing is applied.
    const std::string broken = file("broken.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Mine]\n\"New\"=\"2\"\nnonsense\n");
    EXPECT_EQ(run({"--prefix", p, "/i", broken}), kExitFailure);
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_NE(err.str().find(broken + ", line 4"), std::string::npos) << err.str();
    EXPECT_EQ(readFile(prefix.userReg()), before);

    EXPECT_EQ(run({"--prefix", path("no-such-prefix"), "/e", path("x.reg")}), kExitFailure);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos) << err.str();
    EXPECT_EQ(run({"--prefix", p, "/e", path("no-such-folder/x.reg")}), kExitFailure);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos) << err.str();
    EXPECT_EQ(run({"/e", path("x.reg")}), kExitFailure);  // neither prefix, $WINEPREFIX nor $HOME
}

TEST_F(Regedit, RefusesToSaveWhileWineServesThePrefix) {
    TempPrefix prefix(kSystem, kUser);
    const std::string before = readFile(prefix.userReg());
    int status = 0;
    {
        test::FakeWineServer server(prefix.path());
        status = run({"--prefix", prefix.path().string(), "/s", file("change.reg", kChange)});
    }
    EXPECT_EQ(status, kExitFailure);
    EXPECT_NE(err.str().find("Close all Wine programs of this prefix first"), std::string::npos) << err.str();
    EXPECT_EQ(readFile(prefix.userReg()), before);
}

TEST(TerminalPrompter, AnswersFromTheTerminalOrSaysNo) {
    std::istringstream yes("y\n"), no("n\n"), nothing("");
    std::ostringstream shown;
    EXPECT_TRUE(TerminalPrompter(yes, shown, true).confirm("Registry Editor", "Add?"));
    EXPECT_EQ(shown.str(), "Registry Editor\nAdd? [y/N] ");
    EXPECT_FALSE(TerminalPrompter(no, shown, true).confirm("Registry Editor", "Add?"));
    EXPECT_FALSE(TerminalPrompter(nothing, shown, true).confirm("Registry Editor", "Add?"));
    // No terminal: no, without reading anything.
    std::istringstream unread("y\n");
    EXPECT_FALSE(TerminalPrompter(unread, shown, false).confirm("Registry Editor", "Add?"));
    std::string left;
    EXPECT_TRUE(std::getline(unread, left));
    EXPECT_EQ(left, "y");
}
