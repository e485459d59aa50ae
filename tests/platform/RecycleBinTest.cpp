#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/MinimalPe.h"
#include "platform/RecycleBin.h"
#include "platform/WinPath.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A Trash holding what a program of the prefix deleted, what Linux programs
// and another prefix deleted, and an entry without its record.
class RecycleBinTest : public ::testing::Test {
protected:
    RecycleBinTest() {
        fs::create_symlink("/", prefix.path() / "dosdevices/z:");
        writeFile(outside / "big.bin", std::string(1000, 'x'));
        writeFile(outside / "folder/inner.txt", "keep");

        const std::string drive = (prefix.path() / "dosdevices/c:").string();
        trashed("a.txt", std::string(10, 'a'), drive + "/Docs/a.txt");
        writeFile(trash / "files/dir/b.txt", std::string(20, 'b'));
        writeFile(trash / "files/dir/sub/c.txt", std::string(30, 'c'));
        fs::create_symlink(outside / "folder", trash / "files/dir/linkdir");
        record("dir", (prefix.path() / "drive_c/Games/dir").string());  // the real path works too
        fs::create_symlink(outside / "big.bin", trash / "files/link");
        record("link", drive + "/link");
        trashed("spaced.txt", "1234", drive + "/My%20Docs/spaced.txt");

        trashed("linux.txt", "linux", (outside / "linux.txt").string());
        trashed("other.txt", "other", "/home/someone/.wine-other/dosdevices/c:/x.txt");
        trashed("zdrive.txt", "z", (prefix.path() / "dosdevices/z:").string() + outside.string() + "/z.txt");
        writeFile(trash / "files/norecord.txt", "no record");
    }
    void record(const std::string& name, const std::string& path) {
        writeFile(trash / "info" / (name + ".trashinfo"),
                  "[Trash Info]\nPath=" + path + "\nDeletionDate=2026-12-09T10:00:00\n");
    }
    void trashed(const std::string& name, const std::string& content, const std::string& path) {
        writeFile(trash / "files" / name, content);
        record(name, path);
    }
    std::vector<std::string> names(const RecycleBin& bin) {
        std::vector<std::string> out;
        for (const auto& e : bin.entries())
            out.push_back(e.name);
        return out;
    }

    test::TempPrefix prefix;
    test::TempDir trashDir{"kestrane-trash"};
    test::TempDir outsideDir{"kestrane-outside"};
    const fs::path& trash = trashDir.path();
    const fs::path& outside = outsideDir.path();
};

TEST_F(RecycleBinTest, OnlyTheEntriesWhoseRecordNamesThePrefixAreItsOwn) {
    RecycleBin bin(prefix.path(), {trash});
    EXPECT_EQ(names(bin), (std::vector<std::string>{"a.txt", "dir", "link", "spaced.txt"}));
    EXPECT_EQ(bin.entries()[3].original, prefix.path() / "dosdevices/c:/My Docs/spaced.txt");
    RecycleBinContents c = bin.query();
    EXPECT_EQ(c.items, 4);                       // a folder is one item
    EXPECT_EQ(c.bytes, 10 + 20 + 30 + 4);        // links are not followed
}

TEST_F(RecycleBinTest, EmptyingRemovesThePrefixsEntriesAndNothingElse) {
    RecycleBin bin(prefix.path(), {trash});
    EXPECT_TRUE(bin.empty().ok());
    EXPECT_TRUE(bin.entries().empty());
    for (const char* gone : {"files/a.txt", "files/dir", "files/link", "files/spaced.txt", "info/a.txt.trashinfo",
                             "info/dir.trashinfo", "info/link.trashinfo", "info/spaced.txt.trashinfo"})
        EXPECT_FALSE(fs::exists(fs::symlink_status(trash / gone))) << gone;
    for (const char* kept : {"files/linux.txt", "files/other.txt", "files/zdrive.txt", "files/norecord.txt",
                             "info/linux.txt.trashinfo", "info/other.txt.trashinfo", "info/zdrive.txt.trashinfo"})
        EXPECT_TRUE(fs::exists(trash / kept)) << kept;
    // What the links pointed to is untouched.
    EXPECT_EQ(readFile(outside / "big.bin").size(), 1000u);
    EXPECT_EQ(readFile(outside / "folder/inner.txt"), "keep");
}

TEST_F(RecycleBinTest, AFilesFolderThatIsALinkIsLeftAlone) {
    test::TempDir otherDir("kestrane-trash2");
    const fs::path& other = otherDir.path();
    fs::create_symlink(trash / "files", other / "files");
    fs::create_symlink(trash / "info", other / "info");
    RecycleBin bin(prefix.path(), {other});
    EXPECT_EQ(bin.query().items, 0);
    EXPECT_TRUE(bin.empty().ok());
    EXPECT_TRUE(fs::exists(trash / "files/a.txt"));
}

TEST(RecycleBinFolderTest, MissingTrashIsEmpty) {
    test::TempPrefix prefix;
    RecycleBin bin(prefix.path(), {"/nonexistent/kestrane/Trash"});
    EXPECT_EQ(bin.query().items, 0);
    EXPECT_TRUE(bin.empty().ok());
}

TEST(RecycleBinFolderTest, TheHomeTrashFollowsXdgDataHome) {
    {
        test::EnvGuard xdg("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(RecycleBin::homeTrash(), fs::path("/data/home/Trash"));
        test::TempPrefix prefix;  // on the same file system as /tmp here, or not: the home Trash comes first
        EXPECT_EQ(RecycleBin::trashFoldersFor(prefix.path()).front(), fs::path("/data/home/Trash"));
    }
    test::EnvGuard xdg("XDG_DATA_HOME", std::nullopt);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(RecycleBin::homeTrash(), fs::path(home ? home : "") / ".local/share/Trash");
}

TEST(TrashInfoTest, PathLineDecodedAndMadeAbsolute) {
    EXPECT_EQ(trashInfoPath("[Trash Info]\nPath=/a/b%20c/%C3%A9.txt\n", "/"), fs::path("/a/b c/\xC3\xA9.txt"));
    EXPECT_EQ(trashInfoPath("[Trash Info]\r\nPath=docs/x.txt\r\n", "/media/usb"), fs::path("/media/usb/docs/x.txt"));
    EXPECT_EQ(trashInfoPath("[Trash Info]\nPath=/a/100%\n", "/"), fs::path("/a/100%"));  // a lone % stays
    EXPECT_EQ(trashInfoPath("[Trash Info]\nDeletionDate=2026-01-01T00:00:00\n", "/"), fs::path());
    EXPECT_EQ(trashInfoPath("", "/"), fs::path());
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
