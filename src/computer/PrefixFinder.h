#pragma once
// Every Wine prefix on the machine, for the prefix list, scans and repairs of
// all prefixes and the window's prefix chooser: the one $WINEPREFIX names,
// ~/.wine, and those the Wine front ends keep (winetricks, Bottles, Lutris,
// Steam's Proton, Heroic, PlayOnLinux, CrossOver).
//
// A folder is a prefix when it holds system.reg and drive_c. Each prefix is
// listed once, by its real path, with the name and source of the first place
// that names it. Settings files that cannot be read are skipped with a
// warning; nothing here throws.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kestrane {

struct FoundPrefix {
    std::string name;                  // the front end's name for it, else the folder's name
    std::string source;                // "WINEPREFIX", "~/.wine", "winetricks", "Bottles", "Steam (Flatpak)", ...
    std::filesystem::path path;        // as the source names it
    std::filesystem::path realPath;    // links resolved
    std::string arch;                  // "win32" or "win64" from system.reg's #arch= line, else empty
    std::uintmax_t sizeOnDisk = 0;     // bytes of the files in the folder, links not followed
    std::optional<std::filesystem::file_time_type> registryWritten;  // newest of system.reg and user.reg
    std::optional<pid_t> wineServer;   // the wineserver serving it, if one runs
};

struct FinderInput {
    std::filesystem::path home;                     // the user's home folder; empty: only $WINEPREFIX is looked at
    std::optional<std::filesystem::path> winePrefix;  // $WINEPREFIX, when set and not empty
    // Measuring a prefix walks every file in it (seconds for a large one):
    // only the prefix list shows the sizes; without it sizeOnDisk stays 0.
    bool measureSizes = true;
};

struct FindResult {
    std::vector<FoundPrefix> prefixes;  // in the order of the places that name them
    std::vector<std::string> warnings;  // each names the file and what was wrong with it
};

// The input from this process's environment ($HOME, $WINEPREFIX).
FinderInput finderInputFromEnvironment();

FindResult findPrefixes(const FinderInput& input);

}  // namespace kestrane
