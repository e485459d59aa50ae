// The demo prefix: it loads as a prefix, each category finds its seeds where
// the category looks (read through the registry store and the prefix's file
// system, as the scanners read them), and ensureDemoPrefix reuses, remakes
// and refuses as it should.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "demo/DemoPrefix.h"
#include "platform/FileVersion.h"
#include "platform/LaunchProbe.h"
#include "platform/PrefixFileSystem.h"
#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFolders.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::demo {
namespace {

namespace fs = std::filesystem;
using reg::Root;
using test::makeTempDir;
using test::readFile;
using test::writeFile;

constexpr Root HKCU = Root::CurrentUser;
constexpr Root HKLM = Root::LocalMachine;
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using test::TempDir;

std::vector<std::string> entryNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every entry below dir (relative path -> content, or "->target" for links).
std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = fs::relative(it->path(), dir).string();
        if (it->is_symlink())
            out[rel] = "->" + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file())
            out[rel] = readFile(it->path());
        else
            out[rel] = "<dir>";
    }
    return out;
}

// One demo prefix shared by the tests that only read it.
class DemoPrefixContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_parent = new TempDir;
        auto made = ensureDemoPrefix(s_parent->path() / "demo", false);
        ASSERT_TRUE(made.ok()) << made.error().message;
        s_prefix = made.value();
    }
    static void TearDownTestSuite() {
        delete s_parent;
        s_parent = nullptr;
    }

    void SetUp() override {
        auto store = reg::RegistryStore::openPrefix(s_prefix);
        ASSERT_TRUE(store.ok()) << store.error().message;
        m_store = std::move(store.value());
        m_files = std::make_unique<files::PrefixFileSystem>(s_prefix);
    }

    std::string read(Root root, const std::string& key, const std::string& value) const {
        return reg::regReadString(*m_store, root, key, value);
    }
    std::string shellFolder(const std::string& name) const { return read(HKCU, kShellFolders, name); }
    std::string systemRoot() const {
        return read(HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
    }

    // Folder listing without "." and "..".
    std::vector<std::string> list(const std::string& folder, const std::string& pattern) {
        std::vector<std::string> names;
        m_files->listFolder(names, folder, pattern);
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [](const std::string& n) { return n == "." || n == ".."; }),
                    names.end());
        return names;
    }

    std::vector<std::string> valueNames(Root root, const std::string& key) const {
        auto h = m_store->openKey(root, key);
        return h.ok() ? m_store->valueNames(h.value()) : std::vector<std::string>{};
    }
    std::vector<std::string> subkeyNames(Root root, const std::string& key) const {
        auto h = m_store->openKey(root, key);
        return h.ok() ? m_store->subkeyNames(h.value()) : std::vector<std::string>{};
    }

    static TempDir* s_parent;
    static fs::path s_prefix;
    std::unique_ptr<reg::RegistryStore> m_store;
    std::unique_ptr<files::PrefixFileSystem> m_files;
};

TempDir* DemoPrefixContent::s_parent = nullptr;
fs::path DemoPrefixContent::s_prefix;

// ---- the shape of the prefix ---------------------------------------------

TEST_F(DemoPrefixContent, HasTheShapeOfAWinePrefix) {
    const std::string system = readFile(s_prefix / "system.reg");
    const std::string user = readFile(s_prefix / "user.reg");
    EXPECT_EQ(system.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n", 0), 0u);
    EXPECT_EQ(user.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n",
                         0),
              0u);
    EXPECT_NE(system.find("\n#arch=win64\n"), std::string::npos);
    EXPECT_NE(user.find("\n#arch=win64\n"), std::string::npos);

    // One drive, C:, and nothing in the prefix links out of it.
    EXPECT_EQ(entryNames(s_prefix / "dosdevices"), std::vector<std::string>{"c:"});
    EXPECT_EQ(fs::read_symlink(s_prefix / "dosdevices" / "c:"), fs::path("../drive_c"));
    for (const auto& e : fs::recursive_directory_iterator(s_prefix / "drive_c"))
        EXPECT_FALSE(e.is_symlink()) << e.path();
    EXPECT_TRUE(fs::is_regular_file(s_prefix / kMarkerFileName));
}

TEST_F(DemoPrefixContent, SystemFoldersResolveToExistingFolders) {
    const auto folders = files::SystemFolders::resolve(*m_store);
    EXPECT_EQ(folders.systemRoot, "C:\\windows");
    EXPECT_EQ(folders.systemDriveRoot, "C:\\");
    EXPECT_EQ(folders.programFiles, "C:\\Program Files");
    EXPECT_EQ(folders.commonFiles, "C:\\Program Files\\Common Files");
    for (const auto& folder : {folders.systemRoot, folders.programFiles, folders.commonFiles, folders.appData})
        EXPECT_TRUE(m_files->folderExists(folder)) << folder;
    EXPECT_EQ(read(HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName"), "Microsoft Windows 7");

    const char* env = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    for (const char* name : {"PATH", "TEMP", "TMP", "ComSpec", "windir"})
        EXPECT_FALSE(read(HKLM, env, name).empty()) << name;
    auto search = files::LaunchProbe::prefixSearchFolders(*m_store, folders.systemRoot);
    EXPECT_NE(std::find(search.begin(), search.end(), "C:\\windows\\system32"), search.end());
}

// Every Shell Folders value names a folder that is there: a missing one
// would show up as noise in the progressive analysis.
TEST_F(DemoPrefixContent, EveryShellFolderExists) {
    const auto names = valueNames(HKCU, kShellFolders);
    for (const char* needed : {"AppData", "Local AppData", "Local Settings", "Cache", "Cookies", "History",
                               "Recent", "Personal", "Desktop"})
        EXPECT_NE(std::find(names.begin(), names.end(), needed), names.end()) << needed;
    for (const auto& name : names) {
        const std::string path = shellFolder(name);
        EXPECT_EQ(path.rfind("C:\\", 0), 0u) << name;
        EXPECT_TRUE(m_files->folderExists(path)) << name << " = " << path;
    }
}

// ---- seeds, category by category ----------------------------------------

// Registry seeds: the key and value each category reads, and a piece of
// the data it finds there.
struct RegistrySeed {
    const char* category;
    Root root;
    const char* key;
    const char* value;
    const char* data;
};

const RegistrySeed kRegistrySeeds[] = {
    {"Running While Startup", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Old Messenger", "msgr.exe"},
    {"Running While Startup", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Setup Cleanup",
     "setup_cleanup.exe"},
    {"Running While Startup", HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Sound Helper",
     "sndhelper.exe"},
    {"Missing ActiveX and DLLs", Root::ClassesRoot, "CLSID\\{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A51}\\InprocServer32",
     "", "viewer.ocx"},
    {"Missing ActiveX and DLLs", Root::ClassesRoot, "CLSID\\{B1E4C2A0-5D3F-4E21-9A7B-0C1D2E3F4A57}\\InprocServer32",
     "", "searchbar.dll"},
    {"Progressive Registry Analysis", HKLM, "SOFTWARE\\Old Game Studio", "Launcher", "C:\\Games\\"},
    {"Progressive Registry Analysis", HKCU, "SOFTWARE\\Media Toys\\Tiny Player\\shell\\open\\command", "",
     "tplayer.exe"},
    {"Advanced Privacy Threats Analysis", HKCU, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1", "http"},
    {"Advanced Privacy Threats Analysis", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
     "MRUList", "cba"},
    {"Advanced Privacy Threats Analysis", HKCU, "Software\\Microsoft\\Internet Explorer", "Download Directory",
     "Downloads"},
    {"Advanced Privacy Threats Analysis", HKCU, "Software\\Microsoft\\Internet Explorer\\Main", "Save Directory",
     "Documents"},
    {"Advanced Privacy Threats Analysis", HKCU, "Software\\Microsoft\\Search Assistant\\ACMru\\5603", "000",
     "holiday"},
    {"Advanced Privacy Threats Analysis", HKCU,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU", "a", "letter.doc"},
    {"Advanced Privacy Threats Analysis", HKCU,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Map Network Drive MRU", "a", "\\\\fileserver"},
    {"Advanced Privacy Threats Analysis", HKCU,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComputerDescriptions", "FILESERVER", "file server"},
    {"Advanced Privacy Threats Analysis", HKCU, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name",
     ".exe"},
    {"Advanced Privacy Threats Analysis", HKLM, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name",
     ".exe"},
    {"Advanced Privacy Threats Analysis", HKLM, "Software\\Microsoft\\DirectDraw\\MostRecentApplication", "Name",
     ".exe"},
    {"MS Paint", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List", "File1",
     "beach.jpg"},
    {"MS Wordpad", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List", "File1",
     "Lettre \xc3\xa0 Marie.rtf"},
    {"MS Management Console", HKCU, "Software\\Microsoft\\Microsoft Management Console\\Recent File List", "File1",
     ".msc"},
    {"Registry Editor", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", "LastKey",
     "HKEY_CURRENT_USER"},
    {"Media Player", HKCU, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", "File0", ".mp3"},
    {"Microsoft Office", HKCU, "Software\\Microsoft\\Office\\8.0\\Excel\\Recent File List", "File1", "budget.xls"},
    {"Microsoft Office", HKCU, "Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files", "File1", "budget.xls"},
    {"Microsoft Office", HKCU, "Software\\Microsoft\\Office\\12.0\\Word\\File MRU", "Item 1", "Report.docx"},
    {"Microsoft Office", HKCU, "Software\\Microsoft\\Office\\12.0\\Access\\Settings", "MRU3", ".accdb"},
    {"WinZip", HKCU, "Software\\Nico Mak Computing\\WinZip\\filemenu", "filemenu1", "photos.zip"},
    {"WinZip", HKCU, "Software\\Nico Mak Computing\\WinZip\\directories", "DefDir", "Documents"},
    {"WinRAR", HKCU, "Software\\WinRAR\\ArcHistory", "0", ".rar"},
    {"WinRAR", HKCU, "Software\\WinRAR\\General", "LastFolder", "Downloads"},
    {"WinRAR", HKCU, "Software\\WinRAR\\DialogEditHistory\\ExtrPath", "0", "thesis"},
    {"Acrobat Reader 7.0", HKCU, "Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral\\cRecentFiles\\c1", "tDIText",
     ".pdf"},
    {"Nero Burning ROM", HKCU, "Software\\ahead\\Nero - Burning Rom\\Settings", "ImageDir", "Images"},
    {"Nero Burning ROM", HKLM, "Software\\ahead\\Nero - Burning Rom\\Settings", "BootImageDir", "Boot"},
    {"Nero Burning ROM", HKCU, "Software\\Ahead\\Nero - Burning Rom\\Recent File List", "File1", ".nrg"},
    {"Nero Burning ROM", HKCU, "Software\\Ahead\\Cover Designer\\Recent File List", "File1", ".ncd"},
    {"Nero Burning ROM", HKCU, "Software\\Nero Wave Editor\\Recent File List", "File1", ".wav"},
    {"Download Accelerator Plus", HKLM, "SOFTWARE\\SpeedBit\\Download Accelerator\\FileList", "0", "setup.exe"},
    {"Download Accelerator Plus", HKCU, "Software\\SpeedBit\\Download Accelerator\\HistoryCombo", "0", "http"},
    {"Download Accelerator Plus", HKCU, "Software\\SpeedBit\\Download Accelerator\\ADS\\SecondMedia", "0",
     "example"},
};

TEST_F(DemoPrefixContent, EachRegistryCategoryFindsItsSeed) {
    for (const auto& seed : kRegistrySeeds) {
        const std::string data = read(seed.root, seed.key, seed.value);
        EXPECT_NE(data.find(seed.data), std::string::npos)
            << seed.category << ": " << seed.key << " \"" << seed.value << "\" = \"" << data << "\"";
    }
}

// File seeds: a folder given by a Shell Folders value, the system root or
// the drive root, the subfolder, the pattern, and a name that must be found.
enum class Base { ShellFolder, SystemRoot, DriveRoot, ProgramFiles };

struct FileSeed {
    const char* category;
    Base base;
    const char* shellFolder;  // for Base::ShellFolder
    const char* subfolder;    // with its trailing backslash
    const char* pattern;
    const char* expected;
};

const FileSeed kFileSeeds[] = {
    {"Recent Documents", Base::ShellFolder, "Recent", "\\", "*.lnk", "letter.doc.lnk"},
    {"Cookies", Base::ShellFolder, "Cookies", "\\", "*.txt", "demo@doubleclick[1].txt"},
    {"Cookies", Base::ShellFolder, "Cookies", "\\", "*.txt", "demo@ads.example[2].txt"},
    {"Cookies", Base::ShellFolder, "Cookies", "\\", "*.txt", "demo@debian[1].txt"},
    {"History", Base::ShellFolder, "History", "\\History.IE5\\", "*.*", "desktop.ini"},
    {"History", Base::ShellFolder, "History", "\\History.IE5\\MSHist012019060320190610\\", "*.*", "index.dat"},
    {"Temporary IE", Base::ShellFolder, "Cache", "\\Content.IE5\\K3J9QW2A\\", "*.*", "page[1].htm"},
    {"Temporary IE", Base::ShellFolder, "Cache", "\\Content.IE5\\7HX2P0LM\\", "*.*", "banner[1].jpg"},
    {"Temporary Files", Base::SystemRoot, nullptr, "\\Temp\\", "*.tmp", "~DF3A1C.tmp"},
    {"Temporary Files", Base::SystemRoot, nullptr, "\\Temp\\", "*.tmp", "MSI4F2A.TMP"},
    {"Temporary Files", Base::ShellFolder, "Local Settings", "\\Temp\\", "*.tmp", "~WRS0001.tmp"},
    {"Memory Dumps", Base::SystemRoot, nullptr, "\\", "memory.dmp", "MEMORY.DMP"},
    {"Memory Dumps", Base::SystemRoot, nullptr, "\\MiniDump\\", "*.dmp", "Mini061019-01.dmp"},
    {"Chkdsk Files", Base::DriveRoot, nullptr, "", "File*.chk", "FILE0000.CHK"},
    {"Log Files", Base::SystemRoot, nullptr, "\\system32\\wbem\\Logs\\", "*.log", "wbemcore.log"},
    {"Log Files", Base::SystemRoot, nullptr, "\\system32\\wbem\\Logs\\", "*.lo_", "mofcomp.lo_"},
    {"Log Files", Base::SystemRoot, nullptr, "\\", "*.log", "setupapi.log"},
    {"Log Files", Base::SystemRoot, nullptr, "\\", "*log.txt", "setuplog.txt"},
    {"Log Files", Base::SystemRoot, nullptr, "\\Debug\\", "*.log", "netsetup.log"},
    {"Log Files", Base::SystemRoot, nullptr, "\\Debug\\UserMode\\", "*.bak", "userenv.bak"},
    {"Log Files", Base::SystemRoot, nullptr, "\\security\\logs\\", "*.old", "winlogon.old"},
    {"Microsoft Office", Base::ShellFolder, "AppData", "\\Microsoft\\Office\\Recent\\", "*.*", "Report.docx.LNK"},
    {"Opera", Base::ShellFolder, "AppData", "\\Opera\\Opera\\profile\\", "cookies*.dat", "cookies4.dat"},
    {"Opera", Base::ShellFolder, "AppData", "\\Opera\\Opera\\profile\\cache4\\", "*.*", "opr00001.tmp"},
    {"Opera", Base::ShellFolder, "AppData", "\\Opera\\Opera\\profile\\sessions\\", "autosave.win", "autosave.win"},
    {"Mozilla Firefox", Base::ShellFolder, "Local AppData", "\\Mozilla\\Firefox\\Profiles\\lugoaffv.default\\Cache\\",
     "*.*", "_CACHE_MAP_"},
    {"Mozilla Firefox", Base::ShellFolder, "AppData", "\\Mozilla\\Firefox\\Profiles\\lugoaffv.default\\",
     "history.dat", "history.dat"},
    {"Mozilla Firefox", Base::ShellFolder, "AppData", "\\Mozilla\\Firefox\\Profiles\\lugoaffv.default\\",
     "formhistory.dat", "formhistory.dat"},
    {"Macromedia Flash Player", Base::ShellFolder, "AppData", "\\Macromedia\\Flash Player\\", "*.*",
     "#SharedObjects"},
    {"Backups", Base::ProgramFiles, nullptr, "\\Kestrane Professional\\Backups\\", "*.reg",
     "Backup_9-5-7_3-12-2024.reg"},
};

TEST_F(DemoPrefixContent, EachFileCategoryFindsItsSeed) {
    const auto folders = files::SystemFolders::resolve(*m_store);
    for (const auto& seed : kFileSeeds) {
        std::string base;
        switch (seed.base) {
        case Base::ShellFolder: base = shellFolder(seed.shellFolder); break;
        case Base::SystemRoot: base = systemRoot(); break;
        case Base::DriveRoot: base = folders.systemDriveRoot; break;
        case Base::ProgramFiles: base = folders.programFiles; break;
        }
        ASSERT_FALSE(base.empty()) << seed.category;
        const std::string folder = base + seed.subfolder;
        const auto names = list(folder, seed.pattern);
        EXPECT_NE(std::find(names.begin(), names.end(), seed.expected), names.end())
            << seed.category << ": " << seed.expected << " not in " << folder << seed.pattern;
    }
}

// The seeds that must be passed over are where they are passed over.
TEST_F(DemoPrefixContent, FilesTheScansPassOverAreThere) {
    const std::string root = systemRoot();
    EXPECT_TRUE(m_files->fileExists(root + "\\WindowsUpdate.log"));
    EXPECT_TRUE(m_files->fileExists(root + "\\Debug\\PASSWD.LOG"));
    EXPECT_TRUE(m_files->fileExists("C:\\FOUND.000\\FILE0000.CHK"));
    EXPECT_TRUE(m_files->fileExists(shellFolder("History") + "\\History.IE5\\index.dat"));
    EXPECT_TRUE(m_files->fileExists(shellFolder("Cache") + "\\Content.IE5\\index.dat"));
    EXPECT_TRUE(m_files->fileExists(shellFolder("Recent") + "\\desktop.ini"));
    // The shortcut of 1536 bytes reads as 1.50 KB; the Office one as 1.21 KB.
    EXPECT_EQ(m_files->fileSize(shellFolder("Recent") + "\\letter.doc.lnk"), 1536);
    EXPECT_EQ(m_files->fileSize(shellFolder("AppData") + "\\Microsoft\\Office\\Recent\\Report.docx.LNK"), 1234);
}

TEST_F(DemoPrefixContent, StartupEntriesNameMissingAndPresentPrograms) {
    const auto folders = files::SystemFolders::resolve(*m_store);
    files::LaunchProbe probe(*m_files, files::LaunchProbe::prefixSearchFolders(*m_store, folders.systemRoot));
    struct RunKey {
        Root root;
        const char* key;
    };
    const RunKey keys[] = {{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
                           {HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
                           {HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"}};
    std::set<std::string> missing, present;
    for (const auto& k : keys)
        for (const auto& name : valueNames(k.root, k.key))
            (probe.probe(read(k.root, k.key, name)) == 1 ? missing : present).insert(name);
    EXPECT_EQ(missing, (std::set<std::string>{"Old Messenger", "Setup Cleanup", "Sound Helper"}));
    EXPECT_EQ(present, (std::set<std::string>{"Demo Tray", "Demo Updater"}));
}

TEST_F(DemoPrefixContent, UninstallEntriesWithoutMarkersAreTheSeededOnes) {
    const std::string list = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    std::set<std::string> bugs;
    for (const auto& name : subkeyNames(HKLM, list)) {
        const auto values = valueNames(HKLM, list + "\\" + name);
        const bool marked = std::any_of(values.begin(), values.end(), [](const std::string& v) {
            return v == "UninstallString" || v == "InstallSource" || v == "DisplayName";
        });
        if (!marked)
            bugs.insert(name);
    }
    EXPECT_EQ(bugs, (std::set<std::string>{"{0B7C2E4A-1D3F-4A5B-9C8D-7E6F5A4B3C2D}", "Old Toolbar",
                                           "Shared Runtime 2005"}));
    EXPECT_FALSE(subkeyNames(HKLM, list + "\\Shared Runtime 2005").empty());
}

TEST_F(DemoPrefixContent, UnusedExtensionsAreThoseWithoutProgramListOrClass) {
    const std::string list = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
    std::set<std::string> unused;
    for (const auto& ext : subkeyNames(HKCU, list)) {
        if (m_store->keyExists(HKCU, list + "\\" + ext + "\\OpenWithProgids"))
            continue;
        if (!m_store->keyExists(Root::ClassesRoot, ext))
            unused.insert(ext);
    }
    EXPECT_EQ(unused, (std::set<std::string>{".dmo", ".xyz"}));
    EXPECT_TRUE(m_store->keyExists(Root::ClassesRoot, ".htm"));
}

// The first candidates of the ActiveX existence chain: the path without
// quotes, %SystemRoot% replaced, a bare name in system32.
TEST_F(DemoPrefixContent, ClassServersAreMissingOrPresentAsSeeded) {
    const std::string sr = systemRoot();
    auto exists = [&](std::string p) {
        std::string unquoted;
        for (char c : p)
            if (c != '"')
                unquoted += c;
        if (m_files->fileExists(unquoted) || m_files->fileExists(p))
            return true;
        const std::string var = "%SystemRoot%";
        if (p.rfind(var, 0) == 0 && m_files->fileExists(sr + p.substr(var.size())))
            return true;
        return m_files->fileExists(sr + "\\system32\\" + p);
    };
    std::set<std::string> missing, present;
    for (const auto& clsid : subkeyNames(Root::ClassesRoot, "CLSID")) {
        const std::string server = read(Root::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", "");
        if (!server.empty())
            (exists(server) ? present : missing).insert(clsid.substr(clsid.size() - 4, 3));
    }
    EXPECT_EQ(missing, (std::set<std::string>{"A51", "A52", "A53", "A57"}));
    EXPECT_EQ(present, (std::set<std::string>{"A54", "A55", "A56"}));
}

TEST_F(DemoPrefixContent, ObsoleteSoftwareIsExactlyTheEmptySeeds) {
    auto emptyKeys = [&](Root root) {
        std::set<std::string> out;
        for (const auto& name : subkeyNames(root, "Software"))
            if (valueNames(root, "Software\\" + name).empty() && subkeyNames(root, "Software\\" + name).empty())
                out.insert(name);
        return out;
    };
    EXPECT_EQ(emptyKeys(HKCU), (std::set<std::string>{"ShopBar", "Trial Game Launcher"}));
    EXPECT_EQ(emptyKeys(HKLM), (std::set<std::string>{"Old Setup Helper"}));
}

// Values the progressive analysis reports: at a depth it walks (machine: 4
// keys below SOFTWARE, user: 5), beginning with the drive root, naming
// neither a file nor a folder. Live counterparts name existing ones.
TEST_F(DemoPrefixContent, ProgressiveAnalysisSeedsNameMissingPaths) {
    struct DeepSeed {
        Root root;
        const char* key;
        const char* value;
        const char* path;  // the path the analysis tests
        bool exists;
    };
    const DeepSeed seeds[] = {
        {HKLM, "SOFTWARE\\Old Game Studio", "Launcher", "C:\\Games\\Space Race\\launch.exe -window", false},
        {HKLM, "SOFTWARE\\Old Game Studio\\Space Race", "InstallPath", "C:\\Games\\Space Race", false},
        {HKLM, "SOFTWARE\\Demo Software\\Demo Tools", "InstallDir", "C:\\Program Files\\Demo Tools", true},
        {HKLM, "SOFTWARE\\Demo Software\\Photo Viewer\\DefaultIcon", "",
         "C:\\Program Files\\Photo Viewer\\pviewer.exe", false},
        {HKLM, "SOFTWARE\\Demo Software\\Photo Viewer\\Plugins\\Raw", "Library",
         "C:\\Program Files\\Photo Viewer\\plugins\\raw.dll", false},
        {HKCU, "SOFTWARE\\Demo Software\\Photo Viewer", "LastFolder", "C:\\users\\demo\\Pictures\\Holiday 2018", false},
        {HKCU, "SOFTWARE\\Demo Software\\Photo Viewer", "Slideshow", "C:\\users\\demo\\Pictures", true},
        {HKCU, "SOFTWARE\\Media Toys\\Tiny Player\\shell\\open\\command", "",
         "C:\\Program Files\\Tiny Player\\tplayer.exe", false},
    };
    for (const auto& s : seeds) {
        const std::string data = read(s.root, s.key, s.value);
        const std::string key = s.key;
        const auto depth = std::count(key.begin(), key.end(), '\\');
        EXPECT_LE(depth, s.root == HKLM ? 4 : 5) << key;
        EXPECT_NE(data.find("C:\\"), std::string::npos) << key;
        EXPECT_LE(data.find("C:\\"), 1u) << key;
        EXPECT_NE(data.find(s.path), std::string::npos) << key << " = " << data;
        const bool there = m_files->fileExists(s.path) || m_files->folderExists(s.path);
        EXPECT_EQ(there, s.exists) << s.path;
    }
}

TEST_F(DemoPrefixContent, EveryApplicationIsFound) {
    auto keyFound = [&](Root root, const char* path) {
        return m_store->openKey(root, path, reg::KEY_ALL_ACCESS).ok() && m_store->keyExists(root, path);
    };
    EXPECT_TRUE(keyFound(HKCU, "Software\\Microsoft\\Office"));
    EXPECT_TRUE(keyFound(HKCU, "SOFTWARE\\Opera Software"));
    EXPECT_TRUE(keyFound(HKLM, "SOFTWARE\\Mozilla"));
    EXPECT_FALSE(keyFound(HKCU, "SOFTWARE\\Mozilla"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\Nico Mak Computing\\WinZip"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\WinRAR"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\Adobe\\Acrobat Reader\\5.0\\AVGeneral"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\ahead\\Nero - Burning Rom"));
    EXPECT_TRUE(keyFound(HKCU, "Software\\SpeedBit\\Download Accelerator"));
    EXPECT_TRUE(m_files->folderExists(shellFolder("AppData") + "\\Macromedia\\Flash Player"));

    // Acrobat Reader lists subkeys of cRecentFiles.
    EXPECT_EQ(subkeyNames(HKCU, "Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral\\cRecentFiles"),
              (std::vector<std::string>{"c1", "c2"}));
}

// The applet lists hold entries besides MRUList (which is not listed).
TEST_F(DemoPrefixContent, AppletListsHoldEntries) {
    const char* keys[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
                          "Software\\Microsoft\\Microsoft Management Console\\Recent File List",
                          "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList"};
    for (const char* key : keys) {
        auto names = valueNames(HKCU, key);
        names.erase(std::remove(names.begin(), names.end(), "MRUList"), names.end());
        EXPECT_GE(names.size(), 2u) << key;
    }
}

// The recycle bin is asked only when shell32.dll is 4.72 or later.
TEST_F(DemoPrefixContent, Shell32CarriesAVersion) {
    auto host = m_files->paths().toHost(systemRoot() + "\\system32\\shell32.dll");
    ASSERT_TRUE(host.has_value());
    EXPECT_EQ(files::fileVersionNumber(*host), 0x00060001u);
    // Wine's builtin signature, so that Wine run in the demo uses its own DLLs.
    EXPECT_EQ(readFile(*host).substr(0x40, 16), "Wine builtin DLL");
}

// ---- making, reusing, resetting ------------------------------------------

TEST(DemoPrefix, ReusesAnExistingDemoAndResetMakesItAnew) {
    TempDir parent;
    const fs::path where = parent.path() / "demo";
    auto first = ensureDemoPrefix(where, false);
    ASSERT_TRUE(first.ok()) << first.error().message;
    EXPECT_EQ(first.value(), where);

    writeFile(where / "drive_c" / "mine.txt", "kept");
    fs::remove(where / "drive_c" / "FILE0000.CHK");
    auto again = ensureDemoPrefix(where, false);
    ASSERT_TRUE(again.ok()) << again.error().message;
    EXPECT_EQ(readFile(where / "drive_c" / "mine.txt"), "kept");
    EXPECT_FALSE(fs::exists(where / "drive_c" / "FILE0000.CHK"));

    auto reset = ensureDemoPrefix(where, true);
    ASSERT_TRUE(reset.ok()) << reset.error().message;
    EXPECT_FALSE(fs::exists(where / "drive_c" / "mine.txt"));
    EXPECT_TRUE(fs::exists(where / "drive_c" / "FILE0000.CHK"));
    EXPECT_TRUE(reg::RegistryStore::openPrefix(where).ok());

    // Nothing was written beside the demo.
    EXPECT_EQ(entryNames(parent.path()), std::vector<std::string>{"demo"});
}

TEST(DemoPrefix, NeverTouchesAFolderWithoutTheMarker) {
    TempDir parent;
    const fs::path where = parent.path() / "mine";
    fs::create_directories(where);
    writeFile(where / "system.reg", "precious");

    for (bool reset : {true, false}) {
        auto result = ensureDemoPrefix(where, reset);
        ASSERT_FALSE(result.ok()) << "reset=" << reset;
        EXPECT_NE(result.error().message.find(where.string()), std::string::npos);
        EXPECT_EQ(entryNames(where), std::vector<std::string>{"system.reg"});
        EXPECT_EQ(readFile(where / "system.reg"), "precious");
    }

    // A file in the way is refused too.
    auto onFile = ensureDemoPrefix(where / "system.reg", true);
    EXPECT_FALSE(onFile.ok());
    EXPECT_EQ(readFile(where / "system.reg"), "precious");
}

TEST(DemoPrefix, FillsAnEmptyFolderAndRemakesAnUnfinishedDemo) {
    TempDir parent;
    const fs::path where = parent.path() / "demo";
    fs::create_directories(where);
    auto made = ensureDemoPrefix(where, false);
    ASSERT_TRUE(made.ok()) << made.error().message;
    EXPECT_TRUE(fs::exists(where / "user.reg"));

    // A demo whose making was cut short: its marker is not the finished one.
    writeFile(where / kMarkerFileName, "Kestrane demo prefix, being made\n");
    writeFile(where / "leftover.tmp", "x");
    auto remade = ensureDemoPrefix(where, false);
    ASSERT_TRUE(remade.ok()) << remade.error().message;
    EXPECT_FALSE(fs::exists(where / "leftover.tmp"));
    EXPECT_TRUE(fs::exists(where / "system.reg"));
}

TEST(DemoPrefix, IsReusedThroughALinkButNeverRemovedThroughIt) {
    TempDir parent;
    const fs::path real = parent.path() / "real";
    const fs::path link = parent.path() / "link";
    ASSERT_TRUE(ensureDemoPrefix(real, false).ok());
    fs::create_directory_symlink(real, link);

    auto reused = ensureDemoPrefix(link, false);
    ASSERT_TRUE(reused.ok()) << reused.error().message;
    EXPECT_EQ(reused.value(), link);

    EXPECT_FALSE(ensureDemoPrefix(link, true).ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::exists(real / "system.reg"));
}

TEST(DemoPrefix, IsTheSameEveryTime) {
    TempDir a, b;
    ASSERT_TRUE(ensureDemoPrefix(a.path() / "demo", false).ok());
    ASSERT_TRUE(ensureDemoPrefix(b.path() / "demo", false).ok());
    const auto first = snapshot(a.path() / "demo");
    const auto second = snapshot(b.path() / "demo");
    EXPECT_EQ(first.size(), second.size());
    EXPECT_TRUE(first == second);
    EXPECT_EQ(fs::last_write_time(a.path() / "demo" / "drive_c" / "windows" / "setupapi.log"),
              fs::last_write_time(b.path() / "demo" / "drive_c" / "windows" / "setupapi.log"));
}

TEST(DemoPrefix, DefaultPathFollowsXdgDataHome) {
    {
        test::EnvGuard xdg("XDG_DATA_HOME", "/srv/data");
        EXPECT_EQ(defaultDemoPrefixPath(), fs::path("/srv/data/kestrane/demo-prefix"));
    }
    test::EnvGuard xdg("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    const fs::path fallback = defaultDemoPrefixPath();
    EXPECT_EQ(fallback.filename(), "demo-prefix");
    EXPECT_NE(fallback.string().find("/.local/share/kestrane/"), std::string::npos);
}

}  // namespace
}  // namespace kestrane::demo
