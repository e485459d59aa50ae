#include "platform/SystemFolders.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/TextOps.h"

namespace kestrane::files {

namespace {

constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kNtCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string systemDriveRootOf(std::string_view systemRoot) {
    if (systemRoot.size() >= 2 && isDriveLetter(systemRoot[0]) && systemRoot[1] == ':')
        return std::string(systemRoot.substr(0, 2)) + "\\";
    return text::removeSubstring("WINDOWS", systemRoot);
}

SystemFolders SystemFolders::resolve(const reg::RegistryStore& store) {
    using reg::Root;
    SystemFolders f;
    f.commonFiles = reg::regReadString(store, Root::LocalMachine, kCurrentVersion, "CommonFilesDir");
    f.programFiles = reg::regReadString(store, Root::LocalMachine, kCurrentVersion, "ProgramFilesDir");
    f.systemRoot = reg::regReadString(store, Root::LocalMachine, kNtCurrentVersion, "SystemRoot");
    f.systemDriveRoot = systemDriveRootOf(f.systemRoot);
    f.appData = reg::regReadString(store, Root::CurrentUser, kShellFolders, "AppData");
    return f;
}

void SystemFolders::createProgramFolders(FileSystem& files) const {
    // Failures are not reported: a scanner that needs a folder finds it missing.
    if (!files.folderExists(backupsFolder()))
        files.createFolders(backupsFolder());
    if (!files.folderExists(startbugFolder()))
        files.createFolders(startbugFolder());
}

}  // namespace kestrane::files
