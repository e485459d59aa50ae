// The 32-bit half of a 64-bit prefix: the redirection of system32, the
// keys of the 32-bit view, the folders a 32-bit program is given, and the
// file system that sees through a 32-bit program's eyes.

#include <gtest/gtest.h>

#include "platform/Hive.h"
#include "platform/PrefixFileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/Wow64.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

using files::redirect32;

TEST(Redirect32, System32BelowTheWindowsFolderIsSyswow64) {
    const std::string sr = "C:\\windows";
    EXPECT_EQ(redirect32("C:\\windows\\system32\\x.dll", sr), "C:\\windows\\syswow64\\x.dll");
    EXPECT_EQ(redirect32("c:\\WINDOWS\\System32\\Sub\\x.dll", sr), "C:\\WINDOWS\\syswow64\\Sub\\x.dll");
    EXPECT_EQ(redirect32("C:/windows/system32/x.dll", sr), "C:\\windows\\syswow64\\x.dll");
    EXPECT_EQ(redirect32("C:\\windows\\system32", sr), "C:\\windows\\syswow64");
    // A folder keeps its trailing backslash: file lists append names to it.
    EXPECT_EQ(redirect32("C:\\windows\\system32\\", sr), "C:\\windows\\syswow64\\");
    EXPECT_EQ(redirect32("C:\\windows\\system32\\*.dll", sr), "C:\\windows\\syswow64\\*.dll");
    // The path as Windows reads it: ".." and "." applied first.
    EXPECT_EQ(redirect32("C:\\Program Files\\..\\windows\\.\\system32\\x.dll", sr), "C:\\windows\\syswow64\\x.dll");
    EXPECT_EQ(redirect32("C:\\windows\\system32\\drivers\\x.sys", sr), "C:\\windows\\syswow64\\drivers\\x.sys");
}

TEST(Redirect32, TheFoldersKeptAndThePathsOutsideAreUnchanged) {
    const std::string sr = "C:\\windows";
    for (const char* kept : {"C:\\windows\\system32\\drivers\\etc\\hosts", "C:\\windows\\System32\\DRIVERS\\ETC",
                             "C:\\windows\\system32\\catroot\\x.cat", "C:\\windows\\system32\\catroot2\\db",
                             "C:\\windows\\system32\\spool\\drivers", "C:\\windows\\system32\\LogFiles\\x.log"})
        EXPECT_EQ(redirect32(kept, sr), kept);
    for (const char* outside : {"C:\\windows\\x.dll", "C:\\windows\\system32x\\a.dll", "C:\\system32\\a.dll",
                                "D:\\windows\\system32\\a.dll", "C:\\Program Files\\system32\\a.dll", "x.dll",
                                "\\\\server\\share\\windows\\system32\\a.dll", ""})
        EXPECT_EQ(redirect32(outside, sr), outside);
    // A Windows folder elsewhere moves the redirection with it; none without one.
    EXPECT_EQ(redirect32("D:\\WinNT\\system32\\a.dll", "D:\\WinNT"), "D:\\WinNT\\syswow64\\a.dll");
    EXPECT_EQ(redirect32("C:\\windows\\system32\\a.dll", ""), "C:\\windows\\system32\\a.dll");
}

TEST(Wow64Keys, TheKeyOfThe32BitViewBelowSoftwareOnly) {
    using reg::wow64KeyPath;
    EXPECT_EQ(wow64KeyPath("SOFTWARE\\Mozilla"), "SOFTWARE\\Wow6432Node\\Mozilla");
    EXPECT_EQ(wow64KeyPath("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
              "\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_FALSE(wow64KeyPath("Software"));
    EXPECT_FALSE(wow64KeyPath("Software\\"));
    EXPECT_FALSE(wow64KeyPath("Software\\Wow6432Node\\Mozilla"));
    EXPECT_FALSE(wow64KeyPath("SOFTWARE\\WOW6432NODE"));
    EXPECT_FALSE(wow64KeyPath("SoftwareX\\Mozilla"));
    EXPECT_FALSE(wow64KeyPath("System\\CurrentControlSet"));
}

TEST(Wow64Keys, ArchitectureAndLinks) {
    auto parse = [](const std::string& text) {
        auto hive = reg::Hive::parse(text, "system.reg");
        EXPECT_TRUE(hive.ok()) << hive.error().message;
        return std::move(hive.value());
    };
    const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
    EXPECT_EQ(parse(head + "#arch=win64\n\n[Software] 1\n")->arch(), "win64");
    EXPECT_EQ(parse(head + "#arch=win32\r\n\r\n[Software] 1\r\n")->arch(), "win32");
    EXPECT_EQ(parse(head + "\n[Software] 1\n")->arch(), "");

    auto store = reg::RegistryStore::fromHives(
        parse(head + "#arch=win64\n\n[Software\\\\Wow6432Node\\\\Classes] 1\n#link\n"
                     "\"SymbolicLinkValue\"=hex(6):5c,00\n\n[Software\\\\Wow6432Node\\\\Vendor] 1\n"),
        reg::Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000"));
    EXPECT_TRUE(reg::isWin64(*store));
    using reg::Root;
    EXPECT_TRUE(reg::reachesThroughLink(*store, Root::LocalMachine, "Software\\Wow6432Node\\Classes"));
    EXPECT_TRUE(reg::reachesThroughLink(*store, Root::LocalMachine, "\\Software\\Wow6432Node\\Classes\\CLSID"));
    EXPECT_FALSE(reg::reachesThroughLink(*store, Root::LocalMachine, "Software\\Wow6432Node\\Vendor"));
    EXPECT_FALSE(reg::reachesThroughLink(*store, Root::LocalMachine, "Software\\Wow6432Node\\Missing\\Key"));
    auto win32 = reg::RegistryStore::fromHives(reg::Hive::empty("REGISTRY\\Machine", "win32"),
                                               reg::Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000", "win32"));
    EXPECT_FALSE(reg::isWin64(*win32));
}

TEST(Wow64Folders, ThoseOfThe32BitViewElseTheNativeX86Values) {
    const std::string native =
        "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
        "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
        "\"CommonFilesDir (x86)\"=\"C:\\\\Program Files (x86)\\\\Common Files\"\n"
        "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
        "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\n"
        "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n\"SystemRoot\"=\"C:\\\\windows\"\n";
    {
        TempPrefix prefix(native);
        auto store = reg::RegistryStore::openPrefix(prefix.path());
        ASSERT_TRUE(store.ok());
        auto nativeFolders = files::SystemFolders::resolve(*store.value());
        auto f = files::wow64Folders(*store.value(), nativeFolders);
        EXPECT_EQ(f.programFiles, "C:\\Program Files (x86)");
        EXPECT_EQ(f.commonFiles, "C:\\Program Files (x86)\\Common Files");
        EXPECT_EQ(f.systemRoot, "C:\\windows");
        EXPECT_EQ(nativeFolders.programFiles, "C:\\Program Files");
    }
    TempPrefix prefix(native + "\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
                               "\"ProgramFilesDir\"=\"D:\\\\Apps32\"\n");
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(store.ok());
    auto f = files::wow64Folders(*store.value(), files::SystemFolders::resolve(*store.value()));
    EXPECT_EQ(f.programFiles, "D:\\Apps32");
    EXPECT_EQ(f.commonFiles, "C:\\Program Files (x86)\\Common Files");
}

TEST(Wow64FileSystem, SeesSyswow64WhereItsProgramsLookInSystem32) {
    TempPrefix prefix;
    prefix.write("drive_c/windows/syswow64/x32only.dll", "32");
    prefix.write("drive_c/windows/system32/only64.dll", "64");
    prefix.write("drive_c/windows/system32/drivers/etc/hosts", "127.0.0.1 localhost\n");
    files::PrefixFileSystem native(prefix.path());
    files::Wow64FileSystem wow64(native, "C:\\windows");
    EXPECT_TRUE(wow64.fileExists("C:\\windows\\system32\\x32only.dll"));
    EXPECT_FALSE(native.fileExists("C:\\windows\\system32\\x32only.dll"));
    EXPECT_FALSE(wow64.fileExists("C:\\windows\\system32\\only64.dll"));
    EXPECT_TRUE(wow64.fileExists("C:\\windows\\system32\\drivers\\etc\\hosts"));
    EXPECT_EQ(wow64.fileSize("C:\\windows\\system32\\x32only.dll"), 2);
    std::vector<std::string> names;
    wow64.listFolder(names, "C:\\windows\\system32\\", "*.dll");
    EXPECT_EQ(names, std::vector<std::string>{"x32only.dll"});
    ASSERT_TRUE(wow64.deleteFile("C:\\windows\\system32\\x32only.dll").ok());
    EXPECT_FALSE(std::filesystem::exists(prefix.driveC() / "windows/syswow64/x32only.dll"));
    EXPECT_TRUE(std::filesystem::exists(prefix.driveC() / "windows/system32/only64.dll"));
}

}  // namespace
}  // namespace kestrane::test
