#include <gtest/gtest.h>

#include <filesystem>

#include "platform/WinPath.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::TempPrefix;

TEST(SplitWinPathTest, DriveAndComponents) {
    auto p = splitWinPath("C:\\Users\\me\\.\\x\\..\\Temp\\\\a.tmp");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->drive, 'c');
    EXPECT_EQ(p->components, (std::vector<std::string>{"Users", "me", "Temp", "a.tmp"}));
    auto up = splitWinPath("c:/..\\..\\windows");
    ASSERT_TRUE(up);
    EXPECT_EQ(up->components, (std::vector<std::string>{"windows"}));  // cannot climb above the drive
    EXPECT_FALSE(splitWinPath(""));
    EXPECT_FALSE(splitWinPath("Temp\\a.tmp"));
    EXPECT_FALSE(splitWinPath("\\windows\\a.tmp"));
    EXPECT_FALSE(splitWinPath("\\\\server\\share\\a.tmp"));
    EXPECT_FALSE(splitWinPath("%SystemRoot%\\x.exe"));
    EXPECT_FALSE(splitWinPath("1:\\x"));
}

class WinPathTest : public ::testing::Test {
protected:
    TempPrefix prefix;
    WinPath paths{prefix.path()};
};

TEST_F(WinPathTest, DriveCMapsToDriveC) {
    prefix.write("drive_c/windows/win.ini", "x");
    EXPECT_EQ(paths.toHost("C:\\"), prefix.driveC());
    EXPECT_EQ(paths.toHost("c:"), prefix.driveC());
    EXPECT_EQ(paths.toHost("C:\\windows\\win.ini"), prefix.driveC() / "windows" / "win.ini");
}

TEST_F(WinPathTest, ComponentsAreFoundWithoutRegardToCase) {
    prefix.write("drive_c/users/me/Temp/Report.TMP", "x");
    EXPECT_EQ(paths.toHost("C:\\USERS\\Me\\temp\\report.tmp"), prefix.driveC() / "users/me/Temp/Report.TMP");
    // From the first missing component on, the rest is kept as written.
    EXPECT_EQ(paths.toHost("C:\\Users\\ME\\New Folder\\Sub\\x.txt"), prefix.driveC() / "users/me/New Folder/Sub/x.txt");
}

TEST_F(WinPathTest, AnExactMatchWins) {
    prefix.write("drive_c/data/TEMP/a.txt", "upper");
    prefix.write("drive_c/data/temp/b.txt", "lower");
    prefix.write("drive_c/data/Temp/c.txt", "mixed");
    for (bool cached : {false, true}) {
        if (cached)
            paths.beginAction();
        EXPECT_EQ(paths.toHost("C:\\data\\temp"), prefix.driveC() / "data/temp");
        EXPECT_EQ(paths.toHost("C:\\data\\TEMP"), prefix.driveC() / "data/TEMP");
        EXPECT_EQ(paths.toHost("C:\\data\\Temp"), prefix.driveC() / "data/Temp");
        // No exact match: one of the three, always the same one.
        auto any = paths.toHost("C:\\data\\tEMP");
        ASSERT_TRUE(any);
        EXPECT_EQ(any->parent_path(), prefix.driveC() / "data");
        EXPECT_TRUE(fs::is_directory(*any));
        EXPECT_EQ(paths.toHost("C:\\data\\tEMP"), any);
    }
}

TEST_F(WinPathTest, PathsWithoutAKnownDriveMapToNothing) {
    EXPECT_FALSE(paths.toHost("windows\\win.ini"));
    EXPECT_FALSE(paths.toHost("\\windows\\win.ini"));
    EXPECT_FALSE(paths.toHost("\\\\server\\share\\x"));
    EXPECT_FALSE(paths.toHost("D:\\x"));  // the prefix has no d:
    EXPECT_FALSE(paths.toHost(""));
}

TEST_F(WinPathTest, OtherDrivesFollowTheirLinks) {
    fs::create_symlink("/", prefix.path() / "dosdevices" / "z:");
    test::TempDir outsideDir("kestrane-drive");
    const fs::path& outside = outsideDir.path();
    fs::create_directories(outside / "Music");
    fs::create_symlink(outside, prefix.path() / "dosdevices" / "d:");

    EXPECT_EQ(paths.toHost("Z:\\"), fs::path("/"));
    EXPECT_EQ(paths.toHost("Z:\\TMP"), fs::path("/tmp"));
    EXPECT_EQ(paths.toHost("d:\\music\\x.mp3"), outside / "Music" / "x.mp3");
}

TEST_F(WinPathTest, LinksInsideThePrefixAreWalkedThrough) {
    test::TempDir outsideDir("kestrane-home");
    const fs::path& outside = outsideDir.path();
    fs::create_directories(outside / "Desktop Files");
    fs::create_directories(prefix.driveC() / "users/me");
    fs::create_symlink(outside / "Desktop Files", prefix.driveC() / "users/me/Desktop");
    prefix.write("drive_c/users/me/Desktop/Notes.txt", "x");

    EXPECT_EQ(paths.toHost("C:\\users\\me\\desktop\\NOTES.TXT"), prefix.driveC() / "users/me/Desktop/Notes.txt");
}

TEST_F(WinPathTest, TheCacheHoldsForOneActionOnly) {
    prefix.write("drive_c/temp/old.tmp", "x");
    paths.beginAction();
    EXPECT_EQ(paths.toHost("C:\\TEMP\\OLD.TMP"), prefix.driveC() / "temp/old.tmp");
    prefix.write("drive_c/temp/New.tmp", "x");  // behind the layer's back
    EXPECT_EQ(paths.toHost("C:\\temp\\new.tmp"), prefix.driveC() / "temp/new.tmp");
    paths.beginAction();
    EXPECT_EQ(paths.toHost("C:\\temp\\new.tmp"), prefix.driveC() / "temp/New.tmp");
    paths.endAction();
    prefix.write("drive_c/temp/Third.tmp", "x");
    EXPECT_EQ(paths.toHost("C:\\temp\\third.tmp"), prefix.driveC() / "temp/Third.tmp");
}

}  // namespace
}  // namespace kestrane::files
