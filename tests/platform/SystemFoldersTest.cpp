#include <gtest/gtest.h>

#include <filesystem>

#include "platform/PrefixFileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFolders.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::TempPrefix;

// The values as a fresh Wine prefix holds them.
const char* const kSystem =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
    "#time=1d9e1c2a0b1c2d3\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1700000000\n"
    "#time=1d9e1c2a0b1c2d3\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n";
const char* const kUser =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n"
    "#time=1d9e1c2a0b1c2d3\n"
    "\"AppData\"=\"C:\\\\users\\\\me\\\\AppData\\\\Roaming\"\n";

TEST(SystemDriveRootTest, TheDriveOfTheSystemRootInAnyCase) {
    EXPECT_EQ(systemDriveRootOf("C:\\windows"), "C:\\");
    EXPECT_EQ(systemDriveRootOf("C:\\WINDOWS"), "C:\\");
    EXPECT_EQ(systemDriveRootOf("d:\\WinNT"), "d:\\");
    EXPECT_EQ(systemDriveRootOf(""), "");
    EXPECT_EQ(systemDriveRootOf("\\WINDOWS"), "\\");
}

TEST(SystemFoldersTest, ResolvedFromTheRegistry) {
    TempPrefix prefix(kSystem, kUser);
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(store.ok()) << store.error().message;
    SystemFolders f = SystemFolders::resolve(**store);
    EXPECT_EQ(f.commonFiles, "C:\\Program Files\\Common Files");
    EXPECT_EQ(f.programFiles, "C:\\Program Files");
    EXPECT_EQ(f.systemRoot, "C:\\windows");
    EXPECT_EQ(f.systemDriveRoot, "C:\\");
    EXPECT_EQ(f.appData, "C:\\users\\me\\AppData\\Roaming");
    EXPECT_EQ(f.backupsFolder(), "C:\\Program Files\\Kestrane Professional\\Backups");
}

TEST(SystemFoldersTest, MissingValuesGiveEmptyFolders) {
    TempPrefix prefix;
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(store.ok()) << store.error().message;
    SystemFolders f = SystemFolders::resolve(**store);
    EXPECT_EQ(f.programFiles, "");
    EXPECT_EQ(f.systemRoot, "");
    EXPECT_EQ(f.systemDriveRoot, "");
    EXPECT_EQ(f.appData, "");
}

TEST(SystemFoldersTest, CreatesTheProgramFoldersWithTheirParents) {
    TempPrefix prefix;
    fs::create_directories(prefix.driveC() / "program files");
    PrefixFileSystem files(prefix.path());
    SystemFolders f;
    f.programFiles = "C:\\Program Files";
    f.createProgramFolders(files);
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "program files/Kestrane Professional/Backups"));
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "program files/Kestrane Professional/startbug"));
    EXPECT_FALSE(fs::exists(prefix.driveC() / "Program Files"));
    f.createProgramFolders(files);  // a second start finds them
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "program files/Kestrane Professional/startbug"));
}

TEST(SystemFoldersTest, NothingIsCreatedWithoutAProgramFilesFolder) {
    TempPrefix prefix;
    PrefixFileSystem files(prefix.path());
    SystemFolders f;
    f.createProgramFolders(files);
    f.programFiles = "Q:\\Program Files";  // a drive the prefix does not have
    f.createProgramFolders(files);
    EXPECT_TRUE(fs::is_empty(prefix.driveC()));
    EXPECT_FALSE(fs::exists(fs::current_path() / "Kestrane Professional"));
}

}  // namespace
}  // namespace kestrane::files
