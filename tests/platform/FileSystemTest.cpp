#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "platform/PrefixFileSystem.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::TempPrefix;
using Names = std::vector<std::string>;

class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest() {
        prefix.write("drive_c/dir/a.txt", "aaa");
        prefix.write("drive_c/dir/B.TXT", "bb");
        prefix.write("drive_c/dir/readme", "r");
        prefix.write("drive_c/dir/notes.txt.bak", "n");
        fs::create_directories(prefix.driveC() / "dir/sub");
    }

    Names list(std::string_view folder, std::string_view pattern) {
        Names out{"left over"};
        files.listFolder(out, folder, pattern);
        return out;
    }

    TempPrefix prefix;
    PrefixFileSystem files{prefix.path()};
};

TEST_F(FileSystemTest, ListingFollowsWindowsWildcards) {
    EXPECT_EQ(list("C:\\dir\\", "*.txt"), (Names{"a.txt", "B.TXT"}));
    EXPECT_EQ(list("C:\\DIR\\", "*.TXT"), (Names{"a.txt", "B.TXT"}));
    EXPECT_EQ(list("C:\\dir\\", "?.txt"), (Names{"a.txt", "B.TXT"}));
    EXPECT_EQ(list("C:\\dir\\", "*.*"), (Names{".", "..", "a.txt", "B.TXT", "notes.txt.bak", "readme", "sub"}));
    EXPECT_EQ(list("C:\\dir\\", "*"), (Names{".", "..", "a.txt", "B.TXT", "notes.txt.bak", "readme", "sub"}));
    EXPECT_EQ(list("C:\\dir\\", "A.TXT"), (Names{"a.txt"}));  // spelled as on disk
    EXPECT_EQ(list("C:\\dir\\", "*.log"), Names{});
    EXPECT_EQ(list("C:\\", "dir\\*.bak"), (Names{"notes.txt.bak"}));  // the pattern may hold a folder
}

TEST_F(FileSystemTest, ListingOfNothingIsEmpty) {
    EXPECT_EQ(list("C:\\missing\\", "*.*"), Names{});
    EXPECT_EQ(list("C:\\dir\\a.txt\\", "*.*"), Names{});  // a file is not a folder
    EXPECT_EQ(list("dir\\", "*.*"), Names{});             // no drive
    EXPECT_EQ(list("Q:\\dir\\", "*.*"), Names{});         // unknown drive
    EXPECT_EQ(list("C:\\dir\\", ""), Names{});
}

TEST_F(FileSystemTest, ListingWithPathsPutsTheFolderInFront) {
    Names out;
    files.listFolderPaths(out, "C:\\DIR\\", "*.txt");
    EXPECT_EQ(out, (Names{"C:\\DIR\\a.txt", "C:\\DIR\\B.TXT"}));
}

TEST_F(FileSystemTest, FileSizeOfTheFirstMatch) {
    EXPECT_EQ(files.fileSizeText("C:\\dir\\a.txt"), "3");
    EXPECT_EQ(files.fileSizeText("C:\\DIR\\b.txt"), "2");
    EXPECT_EQ(files.fileSizeText("C:\\dir\\b*.txt"), "2");
    EXPECT_EQ(files.fileSizeText("C:\\dir\\sub"), "0");
    EXPECT_EQ(files.fileSizeText("C:\\dir\\none.txt"), "-1");
    EXPECT_EQ(files.fileSizeText("C:\\dir\\*.log"), "-1");
    EXPECT_EQ(files.fileSizeText("dir\\a.txt"), "-1");
}

TEST_F(FileSystemTest, FileSizePassesFourGigabytes) {
    fs::path dump = prefix.write("drive_c/windows/MEMORY.DMP");
    std::error_code ec;
    fs::resize_file(dump, 5'000'000'000ULL, ec);  // sparse: takes no room
    if (ec)
        GTEST_SKIP() << "cannot make a large sparse file here: " << ec.message();
    EXPECT_EQ(files.fileSizeText("C:\\WINDOWS\\memory.dmp"), "5000000000");
}

TEST_F(FileSystemTest, FileAndFolderExistence) {
    test::TempDir outsideDir("kestrane-home");
    const fs::path& outside = outsideDir.path();
    fs::create_symlink(outside, prefix.driveC() / "linkdir");
    fs::create_symlink(prefix.driveC() / "dir/a.txt", prefix.driveC() / "linkfile");
    fs::create_symlink(prefix.driveC() / "gone", prefix.driveC() / "broken");
    for (bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "in an action" : "outside an action");
        if (cached)
            files.beginAction();
        EXPECT_TRUE(files.fileExists("C:\\Dir\\A.TXT"));
        EXPECT_FALSE(files.folderExists("C:\\Dir\\A.TXT"));
        EXPECT_TRUE(files.folderExists("C:\\dir\\SUB"));
        EXPECT_TRUE(files.folderExists("C:\\dir\\sub\\"));
        EXPECT_FALSE(files.fileExists("C:\\dir\\sub"));
        EXPECT_TRUE(files.folderExists("C:\\"));
        EXPECT_TRUE(files.folderExists("C:\\linkdir"));
        EXPECT_TRUE(files.fileExists("C:\\LinkFile"));
        EXPECT_FALSE(files.fileExists("C:\\broken"));
        EXPECT_FALSE(files.fileExists("C:\\dir\\*.txt"));
        EXPECT_FALSE(files.fileExists("C:\\dir\\missing.txt"));
        EXPECT_FALSE(files.fileExists("C:\\missing\\a.txt"));
        EXPECT_FALSE(files.fileExists("dir\\a.txt"));
        EXPECT_FALSE(files.folderExists("\\\\server\\share"));
    }
}

TEST_F(FileSystemTest, DeletesFilesAndEmptyFoldersInsideDriveC) {
    EXPECT_TRUE(files.deleteFile("C:\\DIR\\A.TXT").ok());
    EXPECT_FALSE(fs::exists(prefix.driveC() / "dir/a.txt"));

    Status notEmpty = files.removeFolder("C:\\dir");
    EXPECT_FALSE(notEmpty.ok());
    EXPECT_TRUE(fs::exists(prefix.driveC() / "dir/B.TXT"));

    Status isFolder = files.deleteFile("C:\\dir\\sub");
    EXPECT_FALSE(isFolder.ok());
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "dir/sub"));
    EXPECT_TRUE(files.removeFolder("C:\\dir\\SUB").ok());
    EXPECT_FALSE(fs::exists(prefix.driveC() / "dir/sub"));

    Status missing = files.deleteFile("C:\\dir\\missing.txt");
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(files.deleteFile("dir\\B.TXT").ok());
    EXPECT_TRUE(fs::exists(prefix.driveC() / "dir/B.TXT"));
}

TEST_F(FileSystemTest, NothingIsDeletedThroughALinkOutOfDriveC) {
    // As in a fresh prefix: the Desktop is a link into the user's home.
    test::TempDir homeDir("kestrane-home");
    const fs::path& home = homeDir.path();
    test::writeFile(home / "keep.txt", "precious");
    fs::create_directories(home / "Empty");
    fs::create_directories(prefix.driveC() / "users/me");
    fs::create_symlink(home, prefix.driveC() / "users/me/Desktop");

    Status s = files.deleteFile("C:\\users\\me\\Desktop\\keep.txt");
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, ErrorKind::AccessDenied);
    EXPECT_EQ(test::readFile(home / "keep.txt"), "precious");

    EXPECT_FALSE(files.removeFolder("C:\\users\\me\\Desktop\\Empty").ok());
    EXPECT_FALSE(files.deleteEntry("C:\\users\\me\\Desktop\\Empty").ok());
    EXPECT_FALSE(files.deletable("C:\\users\\me\\Desktop\\Empty"));
    EXPECT_TRUE(fs::is_directory(home / "Empty"));

    // The link itself is a folder to Windows programs: neither call removes it.
    EXPECT_FALSE(files.deleteFile("C:\\users\\me\\Desktop").ok());
    EXPECT_FALSE(files.removeFolder("C:\\users\\me\\Desktop").ok());
    EXPECT_FALSE(files.deleteEntry("C:\\users\\me\\Desktop").ok());
    EXPECT_TRUE(fs::is_symlink(prefix.driveC() / "users/me/Desktop"));
    EXPECT_EQ(test::readFile(home / "keep.txt"), "precious");
}

TEST_F(FileSystemTest, OtherDrivesDeleteOnlyWhatLiesInDriveC) {
    fs::create_symlink("/", prefix.path() / "dosdevices" / "z:");
    test::TempDir outsideDir("kestrane-outside");
    const fs::path& outside = outsideDir.path();
    test::writeFile(outside / "x.txt", "keep");

    Status s = files.deleteFile("Z:" + outside.string() + "/x.txt");
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(fs::exists(outside / "x.txt"));
    // The same file of drive_c reached through z: is inside drive_c.
    EXPECT_TRUE(files.deleteFile("Z:" + (prefix.driveC() / "dir/a.txt").string()).ok());
    EXPECT_FALSE(fs::exists(prefix.driveC() / "dir/a.txt"));
    // drive_c itself is not inside drive_c.
    EXPECT_FALSE(files.removeFolder("C:\\").ok());
    EXPECT_TRUE(fs::is_directory(prefix.driveC()));
}

TEST_F(FileSystemTest, ALinkInDriveCIsRemovedWithoutTouchingItsTarget) {
    test::TempDir outsideDir("kestrane-outside");
    const fs::path& outside = outsideDir.path();
    test::writeFile(outside / "target.txt", "keep");
    fs::create_symlink(outside / "target.txt", prefix.driveC() / "dir/link.txt");

    EXPECT_TRUE(files.deleteFile("C:\\dir\\LINK.TXT").ok());
    EXPECT_FALSE(fs::is_symlink(prefix.driveC() / "dir/link.txt"));
    EXPECT_EQ(test::readFile(outside / "target.txt"), "keep");
}

TEST_F(FileSystemTest, DeletionsKeepTheActionsCacheRight) {
    FileAction action(files);
    EXPECT_EQ(list("C:\\dir\\", "*.txt"), (Names{"a.txt", "B.TXT"}));
    ASSERT_TRUE(files.deleteFile("C:\\dir\\a.txt").ok());
    EXPECT_EQ(list("C:\\dir\\", "*.txt"), (Names{"B.TXT"}));
    EXPECT_FALSE(files.fileExists("C:\\dir\\a.txt"));
    EXPECT_EQ(files.fileSizeText("C:\\dir\\a.txt"), "-1");

    EXPECT_TRUE(files.folderExists("C:\\dir\\sub"));
    EXPECT_EQ(list("C:\\dir\\sub\\", "*"), (Names{".", ".."}));
    ASSERT_TRUE(files.removeFolder("C:\\dir\\sub").ok());
    EXPECT_FALSE(files.folderExists("C:\\dir\\sub"));
    EXPECT_EQ(list("C:\\dir\\sub\\", "*"), Names{});

    ASSERT_TRUE(files.createFolders("C:\\dir\\sub\\deeper").ok());
    EXPECT_TRUE(files.folderExists("C:\\dir\\SUB\\deeper"));
}

TEST_F(FileSystemTest, CreatesFoldersWithTheirParentsReusingExistingSpelling) {
    fs::create_directories(prefix.driveC() / "Program Files");
    EXPECT_TRUE(files.createFolders("C:\\PROGRAM FILES\\Kestrane Professional\\Backups").ok());
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "Program Files/Kestrane Professional/Backups"));
    EXPECT_FALSE(fs::exists(prefix.driveC() / "PROGRAM FILES"));
    EXPECT_TRUE(files.createFolders("C:\\Program Files\\Kestrane Professional\\Backups").ok());  // exists: fine

    EXPECT_FALSE(files.createFolders("C:\\dir\\a.txt\\sub").ok());
    EXPECT_FALSE(files.createFolders("\\Kestrane Professional\\Backups").ok());
}

TEST_F(FileSystemTest, OnlyWhatDeleteEntryDeletesIsOffered) {
    prefix.write("drive_c/dir/target.txt", "12345");
    prefix.write("drive_c/dir/sub/a.bin", std::string(300, 'a'));
    prefix.write("drive_c/dir/sub/deeper/b.bin", std::string(20, 'b'));
    test::TempDir homeDir("kestrane-home");
    const fs::path& home = homeDir.path();
    test::writeFile(home / "keep.txt", "the user's file");
    fs::create_symlink(home, prefix.driveC() / "dir/sub/deeper/to-home");
    fs::create_symlink("sub", prefix.driveC() / "dir/to-folder");
    fs::create_symlink("target.txt", prefix.driveC() / "dir/to-file");
    fs::create_symlink("nowhere", prefix.driveC() / "dir/broken");

    // A link to a folder is never offered, nor deleted.
    EXPECT_FALSE(files.deletable("C:\\dir\\to-folder"));
    EXPECT_FALSE(files.deletableSize("C:\\dir\\to-folder"));
    EXPECT_FALSE(files.deleteEntry("C:\\dir\\to-folder").ok());
    EXPECT_TRUE(fs::is_symlink(prefix.driveC() / "dir/to-folder"));
    // A link to a file shows what it names and is removed itself; a broken one counts nothing.
    EXPECT_EQ(files.deletableSize("C:\\dir\\to-file"), 5);
    EXPECT_EQ(files.deletableSize("C:\\dir\\broken"), 0);
    EXPECT_TRUE(files.deleteEntry("C:\\dir\\to-file").ok());
    EXPECT_TRUE(fs::exists(prefix.driveC() / "dir/target.txt"));

    // A folder shows the files of its tree (a link in it counts nothing) and
    // goes with them; deleteFile() still refuses it.
    EXPECT_EQ(files.deletableSize("C:\\dir\\SUB"), 320);
    EXPECT_FALSE(files.deleteFile("C:\\dir\\sub").ok());
    EXPECT_TRUE(files.deleteEntry("C:\\dir\\SUB").ok());
    EXPECT_FALSE(fs::exists(prefix.driveC() / "dir/sub"));
    EXPECT_FALSE(files.folderExists("C:\\dir\\sub"));
    EXPECT_TRUE(fs::exists(home / "keep.txt"));  // the link was removed, not followed
    EXPECT_TRUE(fs::exists(prefix.driveC() / "dir/target.txt"));
}

TEST_F(FileSystemTest, NamesThatLookLikePatternsOrPathsAreTheirOwn) {
    // On Linux '*', '?' and '\' are letters of a name.
    prefix.write("drive_c/odd/1.tmp", std::string(5000, 'x'));
    prefix.write("drive_c/odd/?.tmp", std::string(10, 'q'));
    prefix.write("drive_c/odd/..\\..\\keep.tmp", "sneaky");
    prefix.write("drive_c/keep.tmp", "the user's file");
    EXPECT_EQ(files.deletableSize("C:\\odd\\?.tmp"), 10);  // not the size of 1.tmp, which the pattern matches
    // A name holding '\' cannot be named by a Windows path: it is not listed.
    EXPECT_EQ(list("C:\\odd\\", "*"), (Names{".", "..", "1.tmp", "?.tmp"}));
    EXPECT_TRUE(files.deleteFile("C:\\odd\\?.tmp").ok());
    EXPECT_TRUE(fs::exists(prefix.driveC() / "odd/1.tmp"));
    EXPECT_TRUE(fs::exists(prefix.driveC() / "keep.tmp"));
}

}  // namespace
}  // namespace kestrane::files
