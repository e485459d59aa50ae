#include "demo/DemoPrefix.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/Hive.h"
#include "platform/RegistryStore.h"
#include "demo/DemoFiles.h"
#include "demo/DemoLayout.h"
#include "demo/DemoRegistry.h"
#include "demo/FileSeeder.h"
#include "demo/RegistrySeeder.h"

// What the demo prefix holds for each category, and where (user "demo";
// HKCU = user.reg, HKLM = system.reg; SR = C:\windows; Shell Folders =
// HKCU Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders).
//
// category                 | seeds
// -------------------------+-----------------------------------------------------------
// system folders           | HKLM ...\Windows NT\CurrentVersion SystemRoot, ProductName;
//                          | HKLM ...\Windows\CurrentVersion ProgramFilesDir,
//                          | CommonFilesDir; Session Manager\Environment; Shell Folders
//                          | (every folder they name exists)
// Running While Startup    | HKCU Run "Old Messenger", HKCU RunOnce "Setup Cleanup",
//                          | HKLM Run "Sound Helper": missing programs; HKCU Run
//                          | "Demo Tray", HKLM Run "Demo Updater": present programs
// Uninstaller Bugs         | HKLM ...\Uninstall: {0B7C2E4A-...} (other values only),
//                          | "Old Toolbar" (empty), "Shared Runtime 2005" (values only
//                          | in a subkey); "Demo Tools", "KB2019061" are complete
// Unused Extensions        | HKCU ...\Explorer\FileExts: .dmo, .xyz dead; .txt has
//                          | OpenWithProgids, .htm a class in HKLM\Software\Classes
// Missing ActiveX and DLLs | HKLM Software\Classes\CLSID\{B1E4C2A0-...51..53} missing,
//                          | HKCU Software\Classes\CLSID\{...57} missing; {...54..56}
//                          | present (quoted, %SystemRoot%, bare name in system32)
// Help Files, Fonts        | HKLM ...\Windows\Help, ...\Windows NT\CurrentVersion\Fonts,
// Registration, Virtual    | HKLM System\...\Services\VxD\DEMOVXD: their scans examine
// Components               | nothing, the categories stay empty
// Obsolete Software        | empty HKCU Software\Trial Game Launcher, Software\ShopBar,
//                          | HKLM Software\Old Setup Helper
// Progressive Analysis     | HKLM Software\Old Game Studio (levels 1-2), Software\Demo
//                          | Software\Photo Viewer\... (levels 3-4); HKCU Software\Demo
//                          | Software\Photo Viewer (levels 2-3), Software\Media Toys
//                          | \Tiny Player\shell\open\command (level 5): missing paths
// Recent Documents         | Shell Folders "Recent": four *.lnk, desktop.ini
// Recycle Bin              | SR\system32\shell32.dll is a PE with version 6.1; the demo's
//                          | own Trash (.Trash-demo): two entries of this prefix, one of
//                          | another that stays
// Temporary Files          | SR\temp\*.tmp, "Local Settings"\Temp\*.tmp
// Clipboard                | the desktop's clipboard: nothing in the prefix
// Memory Dumps             | SR\MEMORY.DMP, SR\Minidump\*.dmp
// Chkdsk Files             | C:\FILE0000.CHK, C:\FILE0001.CHK (and C:\FOUND.000\...)
// Log Files                | SR\system32\wbem\Logs, SR\*.log, SR\setuplog.txt,
//                          | SR\Debug, SR\Debug\UserMode, SR\security\logs
// Cookies                  | Shell Folders "Cookies": demo@doubleclick, demo@ads.example,
//                          | demo@tracker.fastclick (advertising), demo@wikipedia,
//                          | demo@debian (clean); Wine-named K2WQ8Z1M.txt (an ad
//                          | server's records) and P7Y4R2KD.txt (a plain site's)
// History                  | Shell Folders "History"\History.IE5: desktop.ini, two
//                          | dated MSHist01... folders
// Temporary IE             | Shell Folders "Cache"\Content.IE5\K3J9QW2A, \7HX2P0LM
// Advanced Privacy         | HKCU TypedURLs, RunMRU, Internet Explorer "Download
//                          | Directory", Main "Save Directory", Search Assistant\ACMru,
//                          | ComDlg32\OpenSaveMRU, Map Network Drive MRU,
//                          | ComputerDescriptions, Direct3D (HKCU, HKLM), DirectDraw
// MS Paint, Wordpad, MMC,  | HKCU ...\Applets\Paint\Recent File List, ...\Wordpad\Recent
// Registry Editor, Media   | File List, Microsoft Management Console\Recent File List,
// Player                   | ...\Applets\Regedit LastKey, MediaPlayer\Player\RecentFileList
// Microsoft Office         | HKCU Software\Microsoft\Office\8.0, 11.0, 12.0 lists;
//                          | AppData\Microsoft\Office\Recent
// Opera                    | HKCU Software\Opera Software; AppData\Opera\Opera\profile
// Mozilla Firefox          | HKLM Software\Mozilla; ...\Profiles\lugoaffv.default in
//                          | AppData and Local AppData
// WinZip, WinRAR           | HKCU Software\Nico Mak Computing\WinZip\..., Software\WinRAR\...
// Acrobat Reader 5.0-7.0   | HKCU Software\Adobe\Acrobat Reader\5.0|6.0|7.0\AVGeneral
//                          | \cRecentFiles\c1...
// Nero Burning ROM         | HKCU, HKLM Software\ahead\Nero - Burning Rom\Settings, the
//                          | Recent File Lists of Nero, Cover Designer, Nero Wave Editor
// Download Accelerator     | HKLM Software\SpeedBit\Download Accelerator\FileList, HKCU
//                          | ...\HistoryCombo, ...\ADS\SecondMedia
// Flash Player             | AppData\Macromedia\Flash Player\#SharedObjects, macromedia.com
//                          | (folders, each a row removed with its tree)
// Backups                  | C:\Program Files\Kestrane Professional\Backups
//                          | \Backup_9-5-7_3-12-2024.reg (and the startbug folder)

namespace kestrane::demo {

namespace fs = std::filesystem;

namespace {

// The marker's first line once the demo is complete. While it is being made
// the marker says so, and a demo whose making was cut short is made anew.
const char* const kMarkerComplete =
    "Kestrane demo prefix\n"
    "Made by Kestrane Professional for Linux (--demo); --demo --reset removes this folder and makes it anew.\n";
const char* const kMarkerBuilding = "Kestrane demo prefix, being made\n";
const char* const kMarkerFirstLine = "Kestrane demo prefix";

enum class Marker { None, Building, Complete };

Marker readMarker(const fs::path& dir) {
    const fs::path file = dir / kMarkerFileName;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec)))
        return Marker::None;
    std::ifstream in(file, std::ios::binary);
    std::string first;
    std::getline(in, first);
    return first == kMarkerFirstLine ? Marker::Complete : Marker::Building;
}

std::uint64_t demoClock() { return layout::kFileTime; }

Error fileError(const std::string& what, const fs::path& path, const std::error_code& ec) {
    return makeError(ErrorKind::Failure, what + " '" + path.string() + "': " + ec.message());
}

Status writeFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out)
        return fileError("Cannot write", path, std::make_error_code(std::errc::io_error));
    return {};
}

Status writeHives(const fs::path& dir) {
    auto machine = reg::Hive::empty("REGISTRY\\Machine");
    auto user = reg::Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000");
    machine->setClock(&demoClock);
    user->setClock(&demoClock);
    auto store = reg::RegistryStore::fromHives(std::move(machine), std::move(user));

    RegistrySeeder seeder(*store);
    seedSystemKeys(seeder);
    seedRegistryCruft(seeder);
    if (!seeder.status())
        return seeder.status();

    Status status = writeFile(dir / "system.reg", store->machineHive().serialize());
    if (status)
        status = writeFile(dir / "user.reg", store->userHive().serialize());
    return status;
}

// Every entry gets the demo's time, so two demos are alike to the second.
void setTimes(const fs::path& dir) {
    timespec times[2];
    times[0].tv_sec = layout::kUnixTime;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        utimensat(AT_FDCWD, it->path().c_str(), times, AT_SYMLINK_NOFOLLOW);
    utimensat(AT_FDCWD, dir.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

Status build(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        return fileError("Cannot create the folder", dir, ec);
    Status status = writeFile(dir / kMarkerFileName, kMarkerBuilding);
    if (status)
        status = writeHives(dir);
    if (status) {
        FileSeeder files(dir);
        seedDriveLayout(files);
        seedFileCruft(files, demoTrashFolder(dir).filename().string());
        status = files.status();
    }
    if (status) {
        status = writeFile(dir / kMarkerFileName, kMarkerComplete);
        setTimes(dir);
    }
    return status;
}

// Removes a demo prefix we made (the caller has checked the marker).
Status removeDemo(const fs::path& dir) {
    std::error_code ec;
    fs::remove_all(dir, ec);
    if (ec)
        return fileError("Cannot remove the demo prefix", dir, ec);
    return {};
}

bool isEmptyFolder(const fs::path& dir) {
    std::error_code ec;
    return fs::is_empty(dir, ec) && !ec;
}

}  // namespace

fs::path defaultDemoPrefixPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg && fs::path(xdg).is_absolute())
        return fs::path(xdg) / "kestrane" / "demo-prefix";
    fs::path home;
    if (const char* h = std::getenv("HOME"); h && *h) {
        home = h;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        home = pw->pw_dir;
    }
    return home / ".local" / "share" / "kestrane" / "demo-prefix";
}

Result<fs::path> ensureDemoPrefix(const fs::path& where, bool reset) {
    if (where.empty())
        return makeError(ErrorKind::NotFound, "No folder given for the demo prefix");
    std::error_code ec;
    fs::path dir = fs::absolute(where, ec).lexically_normal();
    if (ec)
        return fileError("Cannot resolve the folder", where, ec);
    if (!dir.has_filename())
        dir = dir.parent_path();

    bool keepFolder = false;  // an empty folder we were given stays, even on failure
    const fs::file_status st = fs::symlink_status(dir, ec);
    if (fs::exists(st)) {
        if (!fs::is_directory(fs::status(dir, ec)))
            return makeError(ErrorKind::AccessDenied, "'" + dir.string() + "' exists and is not a folder");

        const Marker marker = readMarker(dir);
        if (marker == Marker::Complete && !reset)
            return dir;
        if (marker == Marker::None) {
            if (!isEmptyFolder(dir))
                return makeError(ErrorKind::AccessDenied,
                                 "'" + dir.string() + "' is not a Kestrane demo prefix (it has no " +
                                     kMarkerFileName + "); nothing was changed");
            keepFolder = true;
        } else {
            // Ours: reset, or a demo whose making was cut short.
            if (fs::is_symlink(st))
                return makeError(ErrorKind::AccessDenied,
                                 "'" + dir.string() + "' is a link; a demo prefix is not removed through a link");
            Status removed = removeDemo(dir);
            if (!removed)
                return removed.error();
        }
    }

    Status made = build(dir);
    if (!made) {
        // Leave no half-made demo behind: the folder holds only what we wrote.
        if (keepFolder) {
            for (const auto& entry : fs::directory_iterator(dir, ec))
                fs::remove_all(entry.path(), ec);
        } else {
            removeDemo(dir);
        }
        return made.error();
    }
    return dir;
}

bool isDemoPrefix(const fs::path& prefix) { return readMarker(prefix) == Marker::Complete; }

fs::path demoTrashFolder(const fs::path& prefix) { return prefix / ".Trash-demo"; }

}  // namespace kestrane::demo
