#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/LaunchProbe.h"
#include "platform/PrefixFileSystem.h"
#include "platform/RegistryStore.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::TempPrefix;

class LaunchProbeTest : public ::testing::Test {
protected:
    LaunchProbeTest() {
        prefix.write("drive_c/windows/system32/notepad.exe", "MZ");
        prefix.write("drive_c/windows/regedit.exe", "MZ");
        prefix.write("drive_c/Program Files/A B/x.exe", "MZ");
        prefix.write("drive_c/Program Files/Tool/run.com", "MZ");
        prefix.write("drive_c/tools/app.exe", "MZ");
        prefix.write("drive_c/tools/noext", "MZ");
        fs::create_directories(prefix.driveC() / "tools/folder.exe");
    }

    TempPrefix prefix;
    PrefixFileSystem files{prefix.path()};
    LaunchProbe probe{files, {"C:\\windows\\system32", "C:\\windows"}};
};

TEST_F(LaunchProbeTest, QuotedProgramPaths) {
    EXPECT_EQ(probe.probe("\"C:\\Program Files\\A B\\x.exe\" /silent"), 0);
    EXPECT_EQ(probe.findProgram("\"c:\\program files\\a b\\X\"  -q"), "c:\\program files\\a b\\X.exe");
    EXPECT_EQ(probe.probe("\"C:\\Program Files\\A B\\y.exe\" /silent"), 1);
    EXPECT_EQ(probe.probe("\"C:\\Program Files\\A B\\x.exe"), 0);  // no closing quote: to the end
}

TEST_F(LaunchProbeTest, UnquotedPathsWithBlanksAreTriedPrefixByPrefix) {
    EXPECT_EQ(probe.findProgram("C:\\Program Files\\A B\\x.exe /q"), "C:\\Program Files\\A B\\x.exe");
    EXPECT_EQ(probe.findProgram("C:\\Program Files\\A B\\x /q"), "C:\\Program Files\\A B\\x.exe");
    EXPECT_EQ(probe.findProgram("  C:\\tools\\app.exe"), "C:\\tools\\app.exe");
    // The shortest prefix that names a program wins, as on Windows.
    prefix.write("drive_c/Program.exe", "MZ");
    EXPECT_EQ(probe.findProgram("C:\\Program Files\\A B\\x.exe /q"), "C:\\Program.exe");
}

TEST_F(LaunchProbeTest, ExeIsAddedOnlyToNamesWithoutExtension) {
    EXPECT_EQ(probe.findProgram("C:\\tools\\app -x"), "C:\\tools\\app.exe");
    EXPECT_EQ(probe.probe("C:\\tools\\noext"), 1);  // noext.exe does not exist
    EXPECT_EQ(probe.probe("C:\\Program Files\\Tool\\run.com"), 0);
    EXPECT_EQ(probe.probe("C:\\Program Files\\Tool\\run"), 1);
    EXPECT_EQ(probe.probe("C:\\tools\\folder.exe"), 1);  // a folder is no program
}

TEST_F(LaunchProbeTest, BareNamesAreSearchedInTheSearchFolders) {
    EXPECT_EQ(probe.findProgram("notepad"), "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(probe.findProgram("NOTEPAD.EXE C:\\x.txt"), "C:\\windows\\system32\\NOTEPAD.EXE");
    EXPECT_EQ(probe.findProgram("regedit /s x.reg"), "C:\\windows\\regedit.exe");
    EXPECT_EQ(probe.probe("app.exe"), 1);  // C:\tools is not searched
    EXPECT_EQ(probe.probe("tools\\app.exe"), 1);  // relative to a current folder we do not have
}

TEST_F(LaunchProbeTest, MissingAndEmptyCommandsGiveOne) {
    EXPECT_EQ(probe.probe(""), 1);
    EXPECT_EQ(probe.probe("   "), 1);
    EXPECT_EQ(probe.probe("\"\""), 1);
    EXPECT_EQ(probe.probe("C:\\gone\\gone.exe"), 1);
    EXPECT_EQ(probe.probe("D:\\setup.exe"), 1);
    EXPECT_EQ(probe.probe("\\\\server\\share\\setup.exe"), 1);
    // The command line is not expanded.
    EXPECT_EQ(probe.probe("%SystemRoot%\\system32\\notepad.exe"), 1);
    EXPECT_EQ(probe.probe("C:\\windows\\system32\\notepad.exe"), 0);
}

TEST_F(LaunchProbeTest, CommandLinesAreCutAt512Characters) {
    std::string args(600, 'x');
    EXPECT_EQ(probe.probe("C:\\tools\\app.exe " + args), 0);
    // A program whose path ends beyond character 512 is not found.
    const std::string a(200, 'a'), b(200, 'b'), c(150, 'c');
    prefix.write("drive_c/" + a + "/" + b + "/" + c + ".exe", "MZ");
    const std::string longPath = "C:\\" + a + "\\" + b + "\\" + c + ".exe";
    ASSERT_GT(longPath.size(), LaunchProbe::kMaxCommandLine);
    ASSERT_TRUE(files.fileExists(longPath));
    EXPECT_EQ(probe.probe(longPath), 1);
}

TEST_F(LaunchProbeTest, NothingIsEverRun) {
    const fs::path trace = prefix.path() / "trace";
    const std::string script = "#!/bin/sh\ntouch '" + trace.string() + "'\n";
    for (const char* name : {"drive_c/tools/evil.exe", "drive_c/windows/system32/evil2.exe", "drive_c/tools/evil3"}) {
        fs::path p = prefix.write(name, script);
        fs::permissions(p, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }
    EXPECT_EQ(probe.probe("C:\\tools\\evil.exe /arg"), 0);
    EXPECT_EQ(probe.probe("\"C:\\tools\\evil\""), 0);
    EXPECT_EQ(probe.probe("evil2"), 0);
    EXPECT_EQ(probe.probe("Z:" + (prefix.driveC() / "tools/evil3").string()), 1);  // no z: here
    EXPECT_FALSE(fs::exists(trace));
}

TEST(ExpandVariablesTest, KnownNamesWithoutRegardToCaseOthersKept) {
    const std::vector<std::pair<std::string, std::string>> vars{{"SystemRoot", "C:\\windows"}, {"X", "1"}};
    EXPECT_EQ(expandVariables("%SYSTEMROOT%\\system32;%x%", vars), "C:\\windows\\system32;1");
    EXPECT_EQ(expandVariables("%Unknown%\\a;%x%", vars), "%Unknown%\\a;1");
    EXPECT_EQ(expandVariables("100%", vars), "100%");
    EXPECT_EQ(expandVariables("%%x%", vars), "%1");
    EXPECT_EQ(expandVariables("", vars), "");
}

TEST(LaunchProbeSearchFoldersTest, PathOfThePrefixEnvironment) {
    TempPrefix prefix(
        "\n[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1700000000\n"
        "#time=1d9e1c2a0b1c2d3\n"
        "\"PATH\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%;;C:\\\\extra;%ToolsDir%\\\\bin\"\n"
        "\"ToolsDir\"=\"C:\\\\tools\"\n");
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(store.ok()) << store.error().message;

    auto folders = LaunchProbe::prefixSearchFolders(**store, "C:\\windows", "C:\\Program Files\\Kestrane Professional");
    EXPECT_EQ(folders, (std::vector<std::string>{"C:\\Program Files\\Kestrane Professional", "C:\\windows\\system32",
                                                 "C:\\windows", "C:\\windows\\system32", "C:\\windows", "C:\\extra",
                                                 "C:\\tools\\bin"}));

    prefix.write("drive_c/tools/bin/helper.exe", "MZ");
    PrefixFileSystem files(prefix.path());
    LaunchProbe probe(files, folders);
    EXPECT_EQ(probe.findProgram("helper --x"), "C:\\tools\\bin\\helper.exe");
}

TEST(LaunchProbeSearchFoldersTest, NoEnvironmentKeyLeavesTheSystemFolders) {
    TempPrefix prefix;
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(store.ok()) << store.error().message;
    EXPECT_EQ(LaunchProbe::prefixSearchFolders(**store, "C:\\windows"),
              (std::vector<std::string>{"C:\\windows\\system32", "C:\\windows"}));
}

}  // namespace
}  // namespace kestrane::files
