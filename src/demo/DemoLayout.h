#pragma once
// The Windows paths of the demo prefix. The registry seeds and the file seeds
// both take their paths from here, so a value never names a folder that the
// files put elsewhere.

#include <cstdint>

namespace kestrane::demo::layout {

inline constexpr const char* kUserName = "demo";

inline constexpr const char* kSystemRoot = "C:\\windows";
inline constexpr const char* kSystem32 = "C:\\windows\\system32";
inline constexpr const char* kProgramFiles = "C:\\Program Files";
inline constexpr const char* kCommonFiles = "C:\\Program Files\\Common Files";
inline constexpr const char* kProgramFilesX86 = "C:\\Program Files (x86)";
inline constexpr const char* kCommonFilesX86 = "C:\\Program Files (x86)\\Common Files";
inline constexpr const char* kProgramData = "C:\\ProgramData";

inline constexpr const char* kUserProfile = "C:\\users\\demo";
inline constexpr const char* kAppData = "C:\\users\\demo\\AppData\\Roaming";
inline constexpr const char* kLocalAppData = "C:\\users\\demo\\AppData\\Local";
// Windows 7 moved the old "Local Settings" folder to AppData\Local; its Temp
// subfolder is the user's temporary folder.
inline constexpr const char* kLocalSettings = "C:\\users\\demo\\AppData\\Local";
inline constexpr const char* kUserTemp = "C:\\users\\demo\\AppData\\Local\\Temp";
inline constexpr const char* kDocuments = "C:\\users\\demo\\Documents";
inline constexpr const char* kRecent = "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
inline constexpr const char* kCookies = "C:\\users\\demo\\AppData\\Local\\Microsoft\\Windows\\INetCookies";
inline constexpr const char* kHistory = "C:\\users\\demo\\AppData\\Local\\Microsoft\\Windows\\History";
inline constexpr const char* kCache = "C:\\users\\demo\\AppData\\Local\\Microsoft\\Windows\\INetCache";

// The folder of the program's own files below the program-files folder.
inline constexpr const char* kOwnFolder = "C:\\Program Files\\Kestrane Professional";

// One Shell Folders entry: the value name and the folder. All of them are
// made as real folders.
struct ShellFolder {
    const char* name;
    const char* path;
};

inline constexpr ShellFolder kShellFolders[] = {
    {"Administrative Tools",
     "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {"AppData", kAppData},
    {"Cache", kCache},
    {"Cookies", kCookies},
    {"Desktop", "C:\\users\\demo\\Desktop"},
    {"Favorites", "C:\\users\\demo\\Favorites"},
    {"Fonts", "C:\\windows\\Fonts"},
    {"History", kHistory},
    {"Local AppData", kLocalAppData},
    {"Local Settings", kLocalSettings},
    {"My Music", "C:\\users\\demo\\Music"},
    {"My Pictures", "C:\\users\\demo\\Pictures"},
    {"My Videos", "C:\\users\\demo\\Videos"},
    {"NetHood", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
    {"Personal", kDocuments},
    {"PrintHood", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts"},
    {"Programs", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"Recent", kRecent},
    {"SendTo", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
    {"Start Menu", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
    {"StartUp", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {"Templates", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Windows\\Templates"},
    {"{374DE290-123F-4565-9164-39C4925E467B}", "C:\\users\\demo\\Downloads"},
    {"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", "C:\\users\\demo\\Saved Games"},
    {"{56784854-C6CB-462B-8169-88E350ACB882}", "C:\\users\\demo\\Contacts"},
    {"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}", "C:\\users\\demo\\Searches"},
    {"{A520A1A4-1780-4FF6-BD18-167343C5AF16}", "C:\\users\\demo\\AppData\\LocalLow"},
    {"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}", "C:\\users\\demo\\Links"},
};

// Every time stamp of the demo: 10 June 2019, 12:00 UTC.
inline constexpr std::int64_t kUnixTime = 1560168000;
inline constexpr std::uint64_t kFileTime =
    (static_cast<std::uint64_t>(kUnixTime) + 11644473600ULL) * 10000000ULL;

}  // namespace kestrane::demo::layout
