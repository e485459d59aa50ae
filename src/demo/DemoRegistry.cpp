#include "demo/DemoRegistry.h"

#include <string>

#include "demo/DemoLayout.h"
#include "demo/RegistrySeeder.h"

namespace kestrane::demo {

namespace {

constexpr reg::Root HKLM = reg::Root::LocalMachine;
constexpr reg::Root HKCU = reg::Root::CurrentUser;

const char* const kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

std::string join(const char* a, const char* b) { return std::string(a) + b; }

// ---- what wineboot writes and the program reads -------------------------

void seedWindowsVersion(RegistrySeeder& reg) {
    const char* nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    reg.text(HKLM, nt, "CSDVersion", "Service Pack 1");
    reg.text(HKLM, nt, "CurrentBuild", "7601");
    reg.text(HKLM, nt, "CurrentBuildNumber", "7601");
    reg.text(HKLM, nt, "CurrentType", "Uniprocessor Free");
    reg.text(HKLM, nt, "CurrentVersion", "6.1");
    reg.dword(HKLM, nt, "InstallDate", static_cast<std::uint32_t>(layout::kUnixTime));
    reg.text(HKLM, nt, "ProductId", "12345-oem-0000001-54321");
    reg.text(HKLM, nt, "ProductName", "Microsoft Windows 7");
    reg.text(HKLM, nt, "RegisteredOrganization", "");
    reg.text(HKLM, nt, "RegisteredOwner", "");
    reg.text(HKLM, nt, "SystemRoot", layout::kSystemRoot);

    const char* cv = "Software\\Microsoft\\Windows\\CurrentVersion";
    reg.text(HKLM, cv, "CommonFilesDir", layout::kCommonFiles);
    reg.text(HKLM, cv, "CommonFilesDir (x86)", layout::kCommonFilesX86);
    reg.text(HKLM, cv, "ProductId", "12345-oem-0000001-54321");
    reg.text(HKLM, cv, "ProgramFilesDir", layout::kProgramFiles);
    reg.text(HKLM, cv, "ProgramFilesDir (x86)", layout::kProgramFilesX86);
    reg.expandText(HKLM, cv, "ProgramFilesPath", "%ProgramFiles%");
    reg.text(HKLM, cv, "RegisteredOrganization", "");
    reg.text(HKLM, cv, "RegisteredOwner", "");
}

void seedEnvironment(RegistrySeeder& reg) {
    const char* env = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    reg.expandText(HKLM, env, "ComSpec", "%SystemRoot%\\system32\\cmd.exe");
    reg.text(HKLM, env, "NUMBER_OF_PROCESSORS", "2");
    reg.text(HKLM, env, "OS", "Windows_NT");
    reg.expandText(HKLM, env, "PATH", "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem");
    reg.text(HKLM, env, "PATHEXT", ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh");
    reg.text(HKLM, env, "PROCESSOR_ARCHITECTURE", "AMD64");
    reg.expandText(HKLM, env, "TEMP", "%SystemRoot%\\temp");
    reg.expandText(HKLM, env, "TMP", "%SystemRoot%\\temp");
    reg.expandText(HKLM, env, "windir", "%SystemRoot%");
    reg.text(HKLM, env, "winsysdir", layout::kSystem32);

    reg.text(HKCU, "Environment", "TEMP", layout::kUserTemp);
    reg.text(HKCU, "Environment", "TMP", layout::kUserTemp);
}

void seedShellFolders(RegistrySeeder& reg) {
    const std::string shell = join(kExplorer, "\\Shell Folders");
    const std::string userShell = join(kExplorer, "\\User Shell Folders");
    const std::string profile = layout::kUserProfile;
    for (const auto& folder : layout::kShellFolders) {
        reg.text(HKCU, shell, folder.name, folder.path);
        std::string path = folder.path;
        if (path.compare(0, profile.size(), profile) == 0)
            path = "%USERPROFILE%" + path.substr(profile.size());
        reg.expandText(HKCU, userShell, folder.name, path);
    }
}

void seedClasses(RegistrySeeder& reg) {
    reg.text(HKLM, "Software\\Classes\\.txt", "", "txtfile");
    reg.text(HKLM, "Software\\Classes\\.txt", "Content Type", "text/plain");
    reg.text(HKLM, "Software\\Classes\\txtfile", "", "Text Document");
    reg.expandText(HKLM, "Software\\Classes\\txtfile\\shell\\open\\command", "",
                   "%SystemRoot%\\system32\\notepad.exe %1");
    reg.text(HKLM, "Software\\Classes\\.htm", "", "htmlfile");
    reg.text(HKLM, "Software\\Classes\\.htm", "Content Type", "text/html");
    reg.text(HKLM, "Software\\Classes\\htmlfile", "", "HTML Document");
    reg.text(HKLM, "Software\\Classes\\.exe", "", "exefile");
    reg.text(HKLM, "Software\\Classes\\exefile", "", "Application");
}

void seedMisc(RegistrySeeder& reg) {
    reg.key(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    reg.key(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    reg.key(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    reg.key(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    reg.text(HKCU, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page", "about:blank");
    reg.text(HKCU, "Control Panel\\Desktop", "Wallpaper", "");
    reg.text(HKCU, "Control Panel\\International", "Locale", "00000409");
    reg.text(HKCU, "Control Panel\\International", "sShortDate", "M/d/yyyy");
    reg.text(HKCU, "Keyboard Layout\\Preload", "1", "00000409");
}

// ---- registry categories -----------------------------------------------

// Running While Startup: one Run entry in each key names a program that is
// gone; the others name programs that are there.
void seedStartup(RegistrySeeder& reg) {
    const char* userRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    reg.text(HKCU, userRun, "Old Messenger", "\"C:\\Program Files\\Old Messenger\\msgr.exe\" /min");
    reg.text(HKCU, userRun, "Demo Tray", "\"C:\\Program Files\\Demo Tools\\demotray.exe\" /tray");
    reg.text(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Setup Cleanup",
             "C:\\windows\\temp\\setup_cleanup.exe /quiet");
    const char* machineRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    reg.text(HKLM, machineRun, "Sound Helper", "C:\\windows\\system32\\sndhelper.exe");
    reg.text(HKLM, machineRun, "Demo Updater", "C:\\Program Files\\Demo Tools\\update.exe -check");
}

// Uninstaller Bugs: entries without any of UninstallString, InstallSource,
// DisplayName are reported; the complete ones are not.
void seedUninstall(RegistrySeeder& reg) {
    const std::string un = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    reg.text(HKLM, un + "Demo Tools", "DisplayName", "Demo Tools 2.1");
    reg.text(HKLM, un + "Demo Tools", "DisplayVersion", "2.1.0");
    reg.text(HKLM, un + "Demo Tools", "Publisher", "Demo Software");
    reg.text(HKLM, un + "Demo Tools", "UninstallString", "\"C:\\Program Files\\Demo Tools\\uninstall.exe\"");
    reg.text(HKLM, un + "KB2019061", "InstallSource", "C:\\windows\\temp\\KB2019061\\");
    // Findings: values of the wrong names, no values at all, values only below.
    const std::string orphan = un + "{0B7C2E4A-1D3F-4A5B-9C8D-7E6F5A4B3C2D}";
    reg.text(HKLM, orphan, "Version", "1.0.4");
    reg.dword(HKLM, orphan, "EstimatedSize", 2048);
    reg.key(HKLM, un + "Old Toolbar");
    reg.text(HKLM, un + "Shared Runtime 2005\\Components", "Core", "C:\\Program Files\\Shared Runtime\\core.dll");
}

// Unused Extensions: .dmo and .xyz have neither OpenWithProgids nor a class;
// .txt has OpenWithProgids, .htm a class.
void seedFileExtensions(RegistrySeeder& reg) {
    const std::string ext = join(kExplorer, "\\FileExts\\");
    reg.binary(HKCU, ext + ".txt\\OpenWithProgids", "txtfile", "", reg::REG_NONE);
    reg.text(HKCU, ext + ".htm\\OpenWithList", "a", "iexplore.exe");
    reg.text(HKCU, ext + ".htm\\OpenWithList", "MRUList", "a");
    reg.text(HKCU, ext + ".dmo\\OpenWithList", "a", "demoviewer.exe");
    reg.text(HKCU, ext + ".dmo\\OpenWithList", "MRUList", "a");
    reg.key(HKCU, ext + ".xyz");
}

// Missing ActiveX and DLLs: in-process servers written in the usual ways,
// three missing in the machine's classes and one in the user's; three present.
void seedActiveX(RegistrySeeder& reg) {
    struct Server {
        reg::Root root;
        const char* clsid;
        const char* name;
        const char* path;
    };
    static constexpr Server servers[] = {
        {HKLM, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A51}", "Old Viewer Control",
         "C:\\Program Files\\Old Viewer\\viewer.ocx"},
        {HKLM, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A52}", "Demo Audio Codec", "%SystemRoot%\\system32\\oldcodec.ax"},
        {HKLM, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A53}", "Demo Shell Extension", "msdemo32.dll"},
        {HKLM, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A54}", "Demo Moniker", "\"C:\\windows\\system32\\ole32.dll\""},
        {HKLM, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A55}", "Demo Folder View",
         "%SystemRoot%\\system32\\shell32.dll"},
        {HKLM, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A56}", "Demo Storage", "ole32.dll"},
        {HKCU, "{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A57}", "Search Bar Helper",
         "C:\\users\\demo\\AppData\\Roaming\\SearchBar\\searchbar.dll"},
    };
    for (const auto& s : servers) {
        const std::string key = std::string("Software\\Classes\\CLSID\\") + s.clsid;
        reg.text(s.root, key, "", s.name);
        reg.text(s.root, key + "\\InprocServer32", "", s.path);
        reg.text(s.root, key + "\\InprocServer32", "ThreadingModel", "Apartment");
    }
}

// Progressive Registry Analysis: values naming missing files and folders at
// every depth the analysis walks (levels counted below Software).
void seedDeep(RegistrySeeder& reg) {
    // Machine, level 1: tested with its arguments.
    reg.text(HKLM, "Software\\Old Game Studio", "Launcher", "C:\\Games\\Space Race\\launch.exe -window");
    // Level 2: a missing folder, and an address with file://.
    reg.text(HKLM, "Software\\Old Game Studio\\Space Race", "InstallPath", "C:\\Games\\Space Race");
    reg.text(HKLM, "Software\\Old Game Studio\\Space Race", "Manual", "file://C:\\Games\\Space Race\\manual.htm");
    reg.text(HKLM, "Software\\Demo Software\\Demo Tools", "InstallDir", "C:\\Program Files\\Demo Tools");
    // Level 3: a quoted icon path with its index.
    reg.text(HKLM, "Software\\Demo Software\\Photo Viewer\\DefaultIcon", "",
             "\"C:\\Program Files\\Photo Viewer\\pviewer.exe\",0");
    // Level 4.
    reg.text(HKLM, "Software\\Demo Software\\Photo Viewer\\Plugins\\Raw", "Library",
             "C:\\Program Files\\Photo Viewer\\plugins\\raw.dll");
    // User, level 2 and 3.
    reg.text(HKCU, "Software\\Demo Software\\Photo Viewer", "LastFolder", "C:\\users\\demo\\Pictures\\Holiday 2018");
    reg.text(HKCU, "Software\\Demo Software\\Photo Viewer", "Slideshow", "C:\\users\\demo\\Pictures");
    reg.text(HKCU, "Software\\Demo Software\\Photo Viewer\\Recent", "File1", "C:\\users\\demo\\Pictures\\beach.jpg");
    // User, level 5: a player's open command.
    reg.text(HKCU, "Software\\Media Toys\\Tiny Player\\shell\\open\\command", "",
             "\"C:\\Program Files\\Tiny Player\\tplayer.exe\" \"%1\"");
}

// Obsolete Software: keys directly under Software with neither values nor
// subkeys, in both hives.
void seedObsolete(RegistrySeeder& reg) {
    reg.key(HKCU, "Software\\Trial Game Launcher");
    reg.key(HKCU, "Software\\ShopBar");
    reg.key(HKLM, "Software\\Old Setup Helper");
}

// Help Files, Fonts Registration, Virtual Components: their scans examine
// nothing, so these entries only make the machine look lived in.
void seedHelpFontsDevices(RegistrySeeder& reg) {
    reg.text(HKLM, "Software\\Microsoft\\Windows\\Help", "oldapp.hlp", "C:\\Program Files\\Old App\\Help");
    reg.text(HKLM, "Software\\Microsoft\\Windows\\Help", "demotools.chm", "C:\\Program Files\\Demo Tools");
    const char* fonts = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    reg.text(HKLM, fonts, "Demo Sans (TrueType)", "demosans.ttf");
    reg.text(HKLM, fonts, "Old Script (TrueType)", "oldscript.ttf");
    const char* vxd = "System\\CurrentControlSet\\Services\\VxD\\DEMOVXD";
    reg.text(HKLM, vxd, "StaticVxD", "*demovxd");
    reg.binary(HKLM, vxd, "Start", std::string(1, '\0'));
}

// Advanced Privacy Threats Analysis: every list the analysis reads.
void seedAdvanced(RegistrySeeder& reg) {
    const char* typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
    reg.text(HKCU, typed, "url1", "http://www.example.com/");
    reg.text(HKCU, typed, "url2", "http://news.example.org/today");
    reg.text(HKCU, typed, "url3", "http://shop.example.net/cart");

    const std::string runMru = join(kExplorer, "\\RunMRU");
    reg.text(HKCU, runMru, "a", "notepad\\1");
    reg.text(HKCU, runMru, "b", "regedit\\1");
    reg.text(HKCU, runMru, "c", "cmd\\1");
    reg.text(HKCU, runMru, "MRUList", "cba");

    reg.text(HKCU, "Software\\Microsoft\\Internet Explorer", "Download Directory", "C:\\users\\demo\\Downloads");
    reg.text(HKCU, "Software\\Microsoft\\Internet Explorer\\Main", "Save Directory", layout::kDocuments);

    const char* acmru = "Software\\Microsoft\\Search Assistant\\ACMru\\";
    reg.text(HKCU, join(acmru, "5603"), "000", "holiday photos");
    reg.text(HKCU, join(acmru, "5603"), "001", "budget");
    reg.text(HKCU, join(acmru, "5604"), "000", "cheap flights");

    const std::string openSave = join(kExplorer, "\\ComDlg32\\OpenSaveMRU");
    reg.text(HKCU, openSave, "a", "C:\\users\\demo\\Documents\\letter.doc");
    reg.text(HKCU, openSave, "b", "C:\\users\\demo\\Pictures\\beach.jpg");
    reg.text(HKCU, openSave, "MRUList", "ba");
    reg.text(HKCU, openSave + "\\doc", "a", "C:\\users\\demo\\Documents\\letter.doc");
    reg.text(HKCU, openSave + "\\doc", "MRUList", "a");

    const std::string drives = join(kExplorer, "\\Map Network Drive MRU");
    reg.text(HKCU, drives, "a", "\\\\fileserver\\share");
    reg.text(HKCU, drives, "b", "\\\\nas\\music");
    reg.text(HKCU, drives, "MRUList", "ab");

    reg.text(HKCU, join(kExplorer, "\\ComputerDescriptions"), "FILESERVER", "Office file server");

    reg.text(HKCU, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name", "spacerace.exe");
    reg.text(HKLM, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name", "spacerace.exe");
    reg.text(HKLM, "Software\\Microsoft\\DirectDraw\\MostRecentApplication", "Name", "spacerace.exe");
    reg.dword(HKLM, "Software\\Microsoft\\DirectDraw\\MostRecentApplication", "ID", 0x3c1a2b4d);
}

// ---- applets and applications -------------------------------------------

void seedApplets(RegistrySeeder& reg) {
    const char* paint = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
    reg.text(HKCU, paint, "File1", "C:\\users\\demo\\Pictures\\beach.jpg");
    reg.text(HKCU, paint, "File2", "C:\\users\\demo\\Pictures\\sketch.bmp");
    reg.text(HKCU, paint, "File3", "C:\\users\\demo\\Desktop\\screenshot.png");

    const char* wordpad = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List";
    reg.text(HKCU, wordpad, "File1", "C:\\users\\demo\\Documents\\Lettre \xc3\xa0 Marie.rtf");
    reg.text(HKCU, wordpad, "File2", "C:\\users\\demo\\Documents\\notes.txt");

    const char* mmc = "Software\\Microsoft\\Microsoft Management Console\\Recent File List";
    reg.text(HKCU, mmc, "File1", "C:\\windows\\system32\\devmgmt.msc");
    reg.text(HKCU, mmc, "File2", "C:\\windows\\system32\\services.msc");

    const char* regedit = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
    reg.text(HKCU, regedit, "LastKey", "My Computer\\HKEY_CURRENT_USER\\Software\\Microsoft\\Windows");
    reg.dword(HKCU, regedit, "FindFlags", 0xe);

    const char* player = "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList";
    reg.text(HKCU, player, "File0", "C:\\users\\demo\\Music\\Summer Song.mp3");
    reg.text(HKCU, player, "File1", "C:\\users\\demo\\Videos\\holiday.avi");
}

void seedOffice(RegistrySeeder& reg) {
    const char* office = "Software\\Microsoft\\Office\\";
    const std::string excel8 = join(office, "8.0\\Excel\\Recent File List");
    reg.text(HKCU, excel8, "File1", "C:\\users\\demo\\Documents\\budget.xls");
    reg.text(HKCU, excel8, "File2", "C:\\users\\demo\\Documents\\sales 1998.xls");
    reg.text(HKCU, excel8, "MRUList", "ab");
    reg.text(HKCU, join(office, "11.0\\Excel\\Recent Files"), "File1", "C:\\users\\demo\\Documents\\budget.xls");
    reg.text(HKCU, join(office, "11.0\\Common\\Open Find\\Microsoft Office Word\\Settings\\Save As\\File Name MRU"),
             "Value", "C:\\users\\demo\\Documents\\letter.doc");
    const std::string word12 = join(office, "12.0\\Word\\File MRU");
    reg.text(HKCU, word12, "Item 1", "[F00000000][T01D51F7A2B3C4D50]*C:\\users\\demo\\Documents\\Report.docx");
    reg.text(HKCU, word12, "Item 2", "[F00000000][T01D51E1C0A0B0C00]*C:\\users\\demo\\Documents\\letter.doc");
    reg.text(HKCU, join(office, "12.0\\Excel\\File MRU"), "Item 1",
             "[F00000000][T01D51F7A2B3C4D50]*C:\\users\\demo\\Documents\\budget.xls");
    const std::string access12 = join(office, "12.0\\Access\\Settings");
    reg.text(HKCU, access12, "MRU1", "C:\\users\\demo\\Documents\\contacts.mdb");
    reg.text(HKCU, access12, "MRU3", "C:\\users\\demo\\Documents\\inventory.accdb");
    reg.dword(HKCU, access12, "MRUFlags1", 1);
}

void seedBrowsers(RegistrySeeder& reg) {
    reg.text(HKCU, "Software\\Opera Software", "Last Directory3", "C:\\users\\demo\\Downloads");
    reg.text(HKCU, "Software\\Opera Software", "Last CommandLine v2", "C:\\Program Files\\Opera\\opera.exe");

    reg.text(HKLM, "Software\\Mozilla\\Mozilla Firefox", "CurrentVersion", "3.6.28 (en-US)");
    const char* main = "Software\\Mozilla\\Mozilla Firefox\\3.6.28 (en-US)\\Main";
    reg.text(HKLM, main, "Install Directory", "C:\\Program Files\\Mozilla Firefox");
    reg.text(HKLM, main, "PathToExe", "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
}

void seedArchivers(RegistrySeeder& reg) {
    const std::string zip = "Software\\Nico Mak Computing\\WinZip\\";
    reg.text(HKCU, zip + "filemenu", "filemenu1", "C:\\users\\demo\\Downloads\\photos.zip");
    reg.text(HKCU, zip + "filemenu", "filemenu2", "C:\\users\\demo\\Documents\\backup 2018.zip");
    reg.text(HKCU, zip + "extract", "extract1", "C:\\users\\demo\\Documents\\Unpacked\\");
    reg.text(HKCU, zip + "directories", "DefDir", layout::kDocuments);
    reg.text(HKCU, zip + "directories", "ExtractTo", "C:\\users\\demo\\Desktop");
    reg.text(HKCU, zip + "directories", "zDefDir", "C:\\users\\demo\\Downloads");
    reg.text(HKCU, zip + "rrs\\Opened", "0", "C:\\users\\demo\\Downloads\\photos.zip");

    const std::string rar = "Software\\WinRAR\\";
    reg.text(HKCU, rar + "ArcHistory", "0", "C:\\users\\demo\\Downloads\\drivers.rar");
    reg.text(HKCU, rar + "ArcHistory", "1", "C:\\users\\demo\\Documents\\thesis.rar");
    reg.text(HKCU, rar + "General", "LastFolder", "C:\\users\\demo\\Downloads");
    reg.dword(HKCU, rar + "General", "ShowComment", 1);
    reg.text(HKCU, rar + "DialogEditHistory\\ArcName", "0", "thesis.rar");
    reg.text(HKCU, rar + "DialogEditHistory\\ExtrPath", "0", "C:\\users\\demo\\Documents\\thesis");
}

// Acrobat Reader 5.0, 6.0 and 7.0, each with its recent files.
void seedAcrobat(RegistrySeeder& reg) {
    const std::string v5 = "Software\\Adobe\\Acrobat Reader\\5.0\\AVGeneral\\";
    reg.text(HKCU, v5 + "cRecentFiles\\c1", "tDIText", "/C/users/demo/Documents/old manual.pdf");
    const std::string v6 = "Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral\\";
    reg.dword(HKCU, v6, "bExpandRHPInViewMode", 0);
    reg.text(HKCU, v6 + "cRecentFiles\\c1", "tDIText", "/C/users/demo/Documents/manual.pdf");
    reg.text(HKCU, v6 + "cRecentFiles\\c2", "tDIText", "/C/users/demo/Downloads/invoice-0419.pdf");
    const std::string v7 = "Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral\\";
    reg.dword(HKCU, v7, "bExpandRHPInViewMode", 0);
    reg.text(HKCU, v7 + "cRecentFiles\\c1", "tDIText", "/C/users/demo/Documents/manual.pdf");
    reg.text(HKCU, v7 + "cRecentFiles\\c2", "tDIText", "/C/users/demo/Downloads/tickets.pdf");
    reg.text(HKCU, v7 + "cRecentFiles\\c3", "tDIText", "/C/users/demo/Documents/thesis draft.pdf");
}

void seedNeroAndDap(RegistrySeeder& reg) {
    const char* settings = "Software\\ahead\\Nero - Burning Rom\\Settings";
    reg.text(HKCU, settings, "BrowserDir", "C:\\users\\demo\\Music");
    reg.text(HKCU, settings, "ImageDir", "C:\\users\\demo\\Documents\\Images");
    reg.text(HKCU, settings, "WorkingDir", layout::kDocuments);
    reg.text(HKLM, settings, "ImageDir", "C:\\Images");
    reg.text(HKLM, settings, "BootImageDir", "C:\\Program Files\\Ahead\\Nero\\Boot");
    reg.text(HKCU, "Software\\Ahead\\Nero - Burning Rom\\Recent File List", "File1",
             "C:\\users\\demo\\Documents\\Images\\holiday.nrg");
    reg.text(HKCU, "Software\\Ahead\\Cover Designer\\Recent File List", "File1",
             "C:\\users\\demo\\Documents\\cd cover.ncd");
    reg.text(HKCU, "Software\\Nero Wave Editor\\Recent File List", "File1", "C:\\users\\demo\\Music\\mix.wav");

    reg.text(HKLM, "Software\\SpeedBit\\Download Accelerator\\FileList", "0", "C:\\users\\demo\\Downloads\\setup.exe");
    const char* history = "Software\\SpeedBit\\Download Accelerator\\HistoryCombo";
    reg.text(HKCU, history, "0", "http://downloads.example.com/setup.exe");
    reg.text(HKCU, history, "1", "http://mirror.example.org/video.avi");
    reg.text(HKCU, "Software\\SpeedBit\\Download Accelerator\\ADS\\SecondMedia", "0", "media2.example.net");
}

}  // namespace

void seedSystemKeys(RegistrySeeder& reg) {
    seedWindowsVersion(reg);
    seedEnvironment(reg);
    seedShellFolders(reg);
    seedClasses(reg);
    seedMisc(reg);
}

void seedRegistryCruft(RegistrySeeder& reg) {
    seedStartup(reg);
    seedUninstall(reg);
    seedFileExtensions(reg);
    seedActiveX(reg);
    seedDeep(reg);
    seedObsolete(reg);
    seedHelpFontsDevices(reg);
    seedAdvanced(reg);
    seedApplets(reg);
    seedOffice(reg);
    seedBrowsers(reg);
    seedArchivers(reg);
    seedAcrobat(reg);
    seedNeroAndDap(reg);
}

}  // namespace kestrane::demo
