#pragma once
// The fixed rows of the two summary lists: lvall's 21 rows and the
// applications of lvapply (five applets always, eleven when found at start).

#include <array>
#include <string_view>

#include "platform/RegistryStore.h"

namespace kestrane {

// The scan actions that have a scanned flag: every category's scan action is one of them.
inline constexpr std::array<std::string_view, 36> kScanActions{
    "Startup", "Uninstall", "Privacy",  "FileExt",   "ActiveX",    "Deep",      "VirtualDevice", "Cookies",
    "history", "temp_files", "recycle", "clip",      "dump",       "chk",       "log",           "tempie",
    "advanced", "fontreg",  "helpfile", "Obsolete",  "mspaint",    "mswordpad", "mmc",           "regedit",
    "winplay", "msoffice",  "operabro", "mozillabro", "winwinzip", "winwinrar", "acrobat5",      "acrobat6",
    "acrobat7", "Nero",     "dap",      "Flashplay"};

// The views on the shared buttons that show privacy categories: their
// all-selected flags are set at start-up.
inline constexpr std::array<int, 9> kPrivacyViews{1, 2, 3, 5, 6, 7, 8, 9, 10};

struct ComputerRow {
    std::string_view caption;
    std::string_view category;  // the "Category" column; empty for row 0
    bool checkedAtStart;
};

inline constexpr std::string_view kRegistryColumn = "Registry";
inline constexpr std::string_view kPrivacyColumn = "Privacy Threats";
inline constexpr std::string_view kApplicationsColumn = "Applications";

// Row 0 switches the registry backup; the rows of the "Registry" category
// count as registry errors, those of "Privacy Threats" as privacy threats.
inline constexpr std::array<ComputerRow, 21> kComputerRows{{
    {"Create Registry Backup", "", false},
    {"Running While Startup", "Registry", true},
    {"Uninstaller Bugs", "Registry", true},
    {"Unused Extensions", "Registry", true},
    {"Missing ActiveX and DLLs", "Registry", true},
    {"Help Files", "Registry", true},
    {"Fonts Registration", "Registry", true},
    {"Virtual Components", "Registry", true},
    {"Obsolete Software", "Registry", true},
    {"Recent Documents", "Privacy Threats", true},
    {"Recycle Bin", "Privacy Threats", true},
    {"Temporary Files", "Privacy Threats", true},
    {"Clipboard", "Privacy Threats", true},
    {"Memory Dumps", "Privacy Threats", true},
    {"Chkdsk Files", "Privacy Threats", true},
    {"Log Files", "Privacy Threats", true},
    {"Cookies", "Privacy Threats", true},
    {"History", "Privacy Threats", true},
    {"Temporary IE", "Privacy Threats", true},
    {"Advanced Privacy Threats Analysis", "Privacy Threats", true},
    {"Progressive Registry Analysis", "Registry", false},
}};

inline constexpr int kBackupRow = 0;
inline constexpr int kRecycleBinRow = 10;
inline bool isRegistryRow(int row) {
    return row > 0 && row < static_cast<int>(kComputerRows.size()) &&
           kComputerRows[static_cast<std::size_t>(row)].category == kRegistryColumn;
}
inline bool isPrivacyRow(int row) {
    return row > 0 && row < static_cast<int>(kComputerRows.size()) &&
           kComputerRows[static_cast<std::size_t>(row)].category == kPrivacyColumn;
}

inline constexpr std::array<std::string_view, 5> kApplets{
    "MS Paint", "MS Wordpad", "MS Management Console", "Registry Editor", "Media Player"};

// An application that gets a row when found: its key opens with full access
// and exists, or (without a root) its folder below the application-data
// folder exists.
struct OptionalApplication {
    std::string_view caption;
    bool byKey;
    reg::Root root;
    std::string_view path;  // key path from the root, or folder below application data
};

inline constexpr std::array<OptionalApplication, 11> kOptionalApplications{{
    {"Microsoft Office", true, reg::Root::CurrentUser, "\\Software\\Microsoft\\Office"},
    {"Opera", true, reg::Root::CurrentUser, "\\SOFTWARE\\Opera Software"},
    {"Mozilla Firefox", true, reg::Root::LocalMachine, "\\SOFTWARE\\Mozilla"},
    {"WinZip", true, reg::Root::CurrentUser, "\\Software\\Nico Mak Computing\\WinZip"},
    {"WinRAR", true, reg::Root::CurrentUser, "\\Software\\WinRAR"},
    {"Acrobat Reader 5.0", true, reg::Root::CurrentUser, "\\Software\\Adobe\\Acrobat Reader\\5.0\\AVGeneral"},
    {"Acrobat Reader 6.0", true, reg::Root::CurrentUser, "\\Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral"},
    {"Acrobat Reader 7.0", true, reg::Root::CurrentUser, "\\Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral"},
    {"Nero Burning ROM", true, reg::Root::CurrentUser, "\\Software\\ahead\\Nero - Burning Rom"},
    {"Download Accelerator Plus", true, reg::Root::CurrentUser, "\\Software\\SpeedBit\\Download Accelerator"},
    {"Macromedia Flash Player", false, reg::Root::CurrentUser, "\\Macromedia\\Flash Player"},
}};

}  // namespace kestrane
