#pragma once
// The system folders, read from the registry once at start and shared by
// every scanner, and the program's own folders under the program-files folder.

#include <string>
#include <string_view>

#include "platform/RegistryStore.h"

namespace kestrane::files {

class FileSystem;

struct SystemFolders {
    std::string commonFiles;      // HKLM ...\CurrentVersion "CommonFilesDir"
    std::string programFiles;     // HKLM ...\CurrentVersion "ProgramFilesDir"
    std::string systemRoot;       // HKLM ...\Windows NT\CurrentVersion "SystemRoot"
    std::string systemDriveRoot;  // the drive of the system root: "C:\"
    std::string appData;          // HKCU ...\Explorer\Shell Folders "AppData"

    // A missing value leaves its folder empty.
    static SystemFolders resolve(const reg::RegistryStore& store);

    std::string backupsFolder() const { return programFiles + "\\Kestrane Professional\\Backups"; }
    std::string startbugFolder() const { return programFiles + "\\Kestrane Professional\\startbug"; }
    std::string undoFolder() const { return programFiles + "\\Kestrane Professional\\Undo"; }

    // Creates the backups folder, then the startbug folder, with any missing
    // parents. Nothing is created for a folder that maps to nothing (an
    // empty program-files folder gives a relative path).
    void createProgramFolders(FileSystem& files) const;
};

// "C:\windows" (in any case) gives "C:\". A text that does not begin with a
// drive loses every "WINDOWS" instead, so an empty text stays empty.
std::string systemDriveRootOf(std::string_view systemRoot);

}  // namespace kestrane::files
