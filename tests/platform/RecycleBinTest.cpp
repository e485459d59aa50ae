#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/MinimalPe.h"
#include "platform/RecycleBin.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"
#include "platform/WinPath.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::writeFile;

class RecycleBinTest : public ::testing::Test {
protected:
    RecycleBinTest() {
        writeFile(outside / "big.bin", std::string(1000, 'x'));
        fs::create_directories(outside / "folder");
        writeFile(outside / "folder/inner.txt", "keep");

        fs::create_directories(trash / "files/dir/sub");
        fs::create_directories(trash / "info");
        writeFile(trash / "files/a.txt", std::string(10, 'a'));
        writeFile(trash / "files/dir/b.txt", std::string(20, 'b'));
        writeFile(trash / "files/dir/sub/c.txt", std::string(30, 'c'));
        fs::create_symlink(outside / "big.bin", trash / "files/link");
        fs::create_symlink(outside / "folder", trash / "files/dir/linkdir");
        for (const char* item : {"a.txt", "dir", "link"})
            writeFile(trash / "info" / (std::string(item) + ".trashinfo"), "[Trash Info]\n");
    }
    test::TempDir trashDir{"kestrane-trash"};
    test::TempDir outsideDir{"kestrane-outside"};
    const fs::path& trash = trashDir.path();
    const fs::path& outside = outsideDir.path();
};

TEST_F(RecycleBinTest, CountsTopLevelItemsAndTheirWholeSize) {
    RecycleBin bin(trash);
    RecycleBinContents c = bin.query();
    EXPECT_EQ(c.items, 3);       // a.txt, dir, link
    EXPECT_EQ(c.bytes, 10 + 20 + 30);  // links are not followed
}

TEST_F(RecycleBinTest, EmptyingRemovesItemsAndRecordsButNothingOutside) {
    RecycleBin bin(trash);
    EXPECT_TRUE(bin.empty().ok());
    EXPECT_TRUE(fs::is_empty(trash / "files"));
    EXPECT_TRUE(fs::is_empty(trash / "info"));
    EXPECT_EQ(test::readFile(outside / "big.bin").size(), 1000u);
    EXPECT_EQ(test::readFile(outside / "folder/inner.txt"), "keep");
    RecycleBinContents c = bin.query();
    EXPECT_EQ(c.items, 0);
    EXPECT_EQ(c.bytes, 0);
}

TEST_F(RecycleBinTest, AFilesFolderThatIsALinkIsLeftAlone) {
    test::TempDir otherDir("kestrane-trash2");
    const fs::path& other = otherDir.path();
    fs::create_symlink(outside, other / "files");
    RecycleBin bin(other);
    EXPECT_EQ(bin.query().items, 0);
    EXPECT_TRUE(bin.empty().ok());
    EXPECT_TRUE(fs::exists(outside / "big.bin"));
}

TEST(RecycleBinFolderTest, MissingTrashIsEmpty) {
    RecycleBin bin("/nonexistent/kestrane/Trash");
    EXPECT_EQ(bin.query().items, 0);
    EXPECT_TRUE(bin.empty().ok());
}

TEST(RecycleBinFolderTest, DefaultFolderFollowsXdgDataHome) {
    {
        test::EnvGuard xdg("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(RecycleBin::defaultFolder(), fs::path("/data/home/Trash"));
    }
    test::EnvGuard xdg("XDG_DATA_HOME", std::nullopt);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(RecycleBin::defaultFolder(), fs::path(home ? home : "") / ".local/share/Trash");
}

TEST(ShellVersionTest, ReadsShell32OfThePrefix) {
    test::TempPrefix prefix;
    WinPath paths(prefix.path());
    EXPECT_EQ(shellVersion(paths), 0u);
    prefix.write("drive_c/windows/system32/shell32.dll", test::minimalPe());
    EXPECT_EQ(shellVersion(paths), 0x00060001u);
}

}  // namespace
}  // namespace kestrane::files
