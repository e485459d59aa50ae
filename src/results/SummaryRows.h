#pragma once
// The fixed rows of the two summary lists: lvall's 21 rows and the
// applications of lvapply (five applets always, eleven when found at start).

#include <array>
#include <string_view>

#include "platform/RegistryStore.h"

namespace kestrane {

struct ComputerRow {
    std::string_view caption;
    std::string_view category;  // the "Category" column; empty for row 0
    bool checkedAtStart;
    bool writesScanCount;  // the complete scan writes its last count (else "0")
};

// Row 0 switches the registry backup; rows 1-8 and 20 are registry errors,
// rows 9-19 privacy threats.
inline constexpr std::array<ComputerRow, 21> kComputerRows{{
    {"Create Registry Backup", "", false, false},
    {"Running While Startup", "Registry", true, true},
    {"Uninstaller Bugs", "Registry", true, true},
    {"Unused Extensions", "Registry", true, true},
    {"Missing ActiveX and DLLs", "Registry", true, true},
    {"Help Files", "Registry", true, false},
    {"Fonts Registration", "Registry", true, false},
    {"Virtual Components", "Registry", true, true},
    {"Obsolete Software", "Registry", true, true},
    {"Recent Documents", "Privacy Threats", true, true},
    {"Recycle Bin", "Privacy Threats", true, true},
    {"Temporary Files", "Privacy Threats", true, true},
    {"Clipboard", "Privacy Threats", true, true},
    {"Memory Dumps", "Privacy Threats", true, true},
    {"Chkdsk Files", "Privacy Threats", true, true},
    {"Log Files", "Privacy Threats", true, true},
    {"Cookies", "Privacy Threats", true, true},
    {"History", "Privacy Threats", true, true},
    {"Temporary IE", "Privacy Threats", true, true},
    {"Advanced Privacy Threats Analysis", "Privacy Threats", true, true},
    {"Progressive Registry Analysis", "Registry", false, true},
}};

inline constexpr int kBackupRow = 0;
inline constexpr int kRecycleBinRow = 10;
inline bool isRegistryRow(int row) { return (row >= 1 && row <= 8) || row == 20; }
inline bool isPrivacyRow(int row) { return row >= 9 && row <= 19; }

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
