#include "demo/DemoFiles.h"

#include <string>
#include <string_view>

#include "demo/DemoLayout.h"
#include "demo/FileSeeder.h"
#include "demo/PeImage.h"

namespace kestrane::demo {

namespace {

std::string join(const char* a, const char* b) { return std::string(a) + b; }

// The third-party programs of the demo are placeholders: the program only
// ever tests whether they exist.
const char* const kProgramStub = "MZ demo placeholder\n";

// Windows' own files: images with a version and Wine's builtin signature.
std::string systemFile(std::string_view name) {
    const bool dll = name.size() > 4 && name.substr(name.size() - 4) == ".dll";
    return systemFileImage(FileVersion{6, 1, 7601, 17514}, dll ? ImageKind::Dll : ImageKind::Program);
}

// A shell link: the 76-byte header with the link class, padded to size.
std::string shortcut(std::size_t size) {
    std::string s(76, '\0');
    s[0] = 0x4C;
    static constexpr unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    for (std::size_t i = 0; i < 16; ++i)
        s[4 + i] = static_cast<char>(clsid[i]);
    s.resize(size, '\0');
    return s;
}

// A registry editor file (UTF-16LE with its byte order mark) holding the
// text, which is ASCII.
std::string utf16File(std::string_view text) {
    std::string out = "\xff\xfe";
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

void seedWindowsFolder(FileSeeder& f) {
    const std::string win = layout::kSystemRoot;
    const std::string sys = layout::kSystem32;
    for (const char* name : {"\\notepad.exe", "\\regedit.exe", "\\explorer.exe", "\\winhlp32.exe"})
        f.file(win + name, systemFile(name));
    f.file(win + "\\win.ini", "[windows]\r\n[fonts]\r\n[extensions]\r\n");
    f.file(win + "\\system.ini", "[386Enh]\r\nwoafont=dosapp.fon\r\n[drivers]\r\n");
    for (const char* name : {"\\notepad.exe", "\\cmd.exe", "\\regedit.exe", "\\rundll32.exe", "\\ole32.dll",
                             "\\kernel32.dll", "\\user32.dll", "\\shell32.dll"})
        f.file(sys + name, systemFile(name));
    f.file(sys + "\\devmgmt.msc", "<?xml version=\"1.0\"?>\r\n<MMC_ConsoleFile ConsoleVersion=\"3.0\"/>\r\n");
    f.file(sys + "\\services.msc", "<?xml version=\"1.0\"?>\r\n<MMC_ConsoleFile ConsoleVersion=\"3.0\"/>\r\n");
    f.folder(sys + "\\drivers");
    f.folder(win + "\\inf");
    f.folder(win + "\\help");
    f.folder(win + "\\logs");
    f.folder(win + "\\temp");
    f.file(win + "\\Fonts\\demosans.ttf", "demo font placeholder\n");
}

void seedProgramFolders(FileSeeder& f) {
    const std::string pf = layout::kProgramFiles;
    f.folder(layout::kCommonFiles);
    f.folder(join(layout::kCommonFiles, "\\System"));
    f.folder(layout::kCommonFilesX86);
    f.folder(join(layout::kProgramData, "\\Microsoft\\Windows\\Start Menu"));
    f.file(pf + "\\Internet Explorer\\iexplore.exe", systemFile("iexplore.exe"));
    f.file(pf + "\\Windows Media Player\\wmplayer.exe", systemFile("wmplayer.exe"));
    f.file(pf + "\\Windows NT\\Accessories\\wordpad.exe", systemFile("wordpad.exe"));
    for (const char* name : {"\\demotray.exe", "\\update.exe", "\\uninstall.exe"})
        f.file(pf + "\\Demo Tools" + name, kProgramStub);
    f.file(pf + "\\Demo Tools\\demotools.chm", "ITSF demo help placeholder\n");
    f.file(pf + "\\Opera\\opera.exe", kProgramStub);
    f.file(pf + "\\Mozilla Firefox\\firefox.exe", kProgramStub);
    // The program's own folders, with one registry backup in the view.
    f.folder(join(layout::kOwnFolder, "\\startbug"));
    f.file(join(layout::kOwnFolder, "\\Backups\\Backup_9-5-7_3-12-2024.reg"),
           utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Demo Software\\Photo Viewer]\r\n"
                     "\"Slideshow\"=\"C:\\\\users\\\\demo\\\\Pictures\"\r\n\r\n"));
}

void seedUserFolders(FileSeeder& f) {
    for (const auto& folder : layout::kShellFolders)
        f.folder(folder.path);
    f.folder(layout::kUserTemp);
    for (const char* name : {"Desktop", "Documents", "Music", "Pictures", "Videos"})
        f.folder(std::string("C:\\users\\Public\\") + name);
}

// ---- privacy ------------------------------------------------------------

// Recent Documents: shortcuts in the Recent folder (one of 1536 bytes,
// 1.50 KB); desktop.ini is not a shortcut and stays out of the list.
void seedRecentDocuments(FileSeeder& f) {
    const std::string recent = layout::kRecent;
    f.file(recent + "\\letter.doc.lnk", shortcut(1536));
    f.file(recent + "\\budget.xls.lnk", shortcut(412));
    f.file(recent + "\\beach.jpg.lnk", shortcut(398));
    f.file(recent + "\\Lettre \xc3\xa0 Marie.rtf.lnk", shortcut(455));
    f.file(recent + "\\desktop.ini", "[.ShellClassInfo]\r\nLocalizedResourceName=Recent Items\r\n");
}

// Cookies: three names hold advertising keywords, two do not; index.dat is
// not a .txt file.
void seedCookies(FileSeeder& f) {
    const std::string jar = layout::kCookies;
    auto cookie = [&f, &jar](const char* file, const char* name, const char* value, const char* site) {
        f.file(jar + "\\" + file, std::string(name) + "\n" + value + "\n" + site + "/\n1536\n2989432704\n30771206\n"
                                      "1394577872\n30761045\n*\n");
    };
    cookie("demo@doubleclick[1].txt", "id", "22a5c8e7f00400ab||t=1560168000", "doubleclick.net");
    cookie("demo@ads.example[2].txt", "uid", "5d0e4640-7a1b", "ads.example.com");
    cookie("demo@tracker.fastclick[1].txt", "fc", "0x6c1f", "tracker.fastclick.net");
    cookie("demo@wikipedia[1].txt", "enwikiSession", "q4k2d9", "en.wikipedia.org");
    cookie("demo@debian[1].txt", "lang", "en", "www.debian.org");
    // Wine names a cookie file at random and keeps the site in its records.
    cookie("K2WQ8Z1M.txt", "track", "a1b2c3", "adserver.example.net");
    cookie("P7Y4R2KD.txt", "prefs", "dark", "www.kernel.org");
    f.sizedFile(jar + "\\index.dat", "Client UrlCache MMF Ver 5.2", 16384);
}

// History: today's folder never matches (the dates are in 2019); the
// top-level index.dat is skipped, desktop.ini and the dated folders' files
// are found.
void seedHistory(FileSeeder& f) {
    const std::string ie5 = join(layout::kHistory, "\\History.IE5");
    f.sizedFile(ie5 + "\\index.dat", "Client UrlCache MMF Ver 5.2", 32768);
    f.file(ie5 + "\\desktop.ini", "[.ShellClassInfo]\r\nUICLSID={7BD29E00-76C1-11CF-9DD0-00A0C9034933}\r\n");
    f.sizedFile(ie5 + "\\MSHist012019060320190610\\index.dat", "Client UrlCache MMF Ver 5.2", 16384);
    f.sizedFile(ie5 + "\\MSHist012019061020190611\\index.dat", "Client UrlCache MMF Ver 5.2", 16384);
}

// Temporary IE: cache files in the cache's subfolders; index.dat files and
// a file without extension are passed over.
void seedInternetCache(FileSeeder& f) {
    const std::string ie5 = join(layout::kCache, "\\Content.IE5");
    f.sizedFile(ie5 + "\\index.dat", "Client UrlCache MMF Ver 5.2", 32768);
    f.sizedFile(ie5 + "\\K3J9QW2A\\page[1].htm", "<html><body>demo page</body></html>\n", 3072);
    f.sizedFile(ie5 + "\\K3J9QW2A\\logo[1].gif", "GIF89a", 1200);
    f.sizedFile(ie5 + "\\K3J9QW2A\\style[1].css", "body { margin: 0 }\n", 640);
    f.file(ie5 + "\\K3J9QW2A\\noext", "no extension\n");
    f.sizedFile(ie5 + "\\7HX2P0LM\\banner[1].jpg", "\xff\xd8\xff\xe0", 5120);
    f.sizedFile(ie5 + "\\7HX2P0LM\\script[2].js", "var demo = 1;\n", 900);
    f.sizedFile(ie5 + "\\7HX2P0LM\\index.dat", "Client UrlCache MMF Ver 5.2", 4096);
}

// Temporary Files: *.tmp in the Windows temp folder and in Local Settings\Temp.
void seedTempFiles(FileSeeder& f) {
    const std::string sysTemp = join(layout::kSystemRoot, "\\temp");
    f.sizedFile(sysTemp + "\\~DF3A1C.tmp", "", 4096);
    f.sizedFile(sysTemp + "\\setup_4711.tmp", "", 20480);
    f.sizedFile(sysTemp + "\\MSI4F2A.TMP", "", 1024);
    const std::string userTemp = layout::kUserTemp;
    f.sizedFile(userTemp + "\\~WRS0001.tmp", "", 8192);
    f.sizedFile(userTemp + "\\~DFA12B.tmp", "", 512);
    f.file(userTemp + "\\install.log", "demo installer finished\r\n");
}

// Memory Dumps, Chkdsk Files, Log Files.
void seedSystemLeftovers(FileSeeder& f) {
    const std::string win = layout::kSystemRoot;
    f.sizedFile(win + "\\MEMORY.DMP", "PAGEDU64", 98304);
    f.sizedFile(win + "\\Minidump\\Mini060519-01.dmp", "MDMP", 65536);
    f.sizedFile(win + "\\Minidump\\Mini061019-01.dmp", "MDMP", 65536);

    // Fragments in the root of the drive are found; those left in FOUND.000
    // are not, since the scan does not search subfolders.
    f.sizedFile("C:\\FILE0000.CHK", "", 4096);
    f.sizedFile("C:\\FILE0001.CHK", "", 12288);
    f.sizedFile("C:\\FOUND.000\\FILE0000.CHK", "", 8192);

    const std::string wbem = win + "\\system32\\wbem\\Logs";
    f.file(wbem + "\\wbemcore.log", "(Mon Jun 10 12:00:00 2019) : CWbemNamespace::Initialize\r\n");
    f.file(wbem + "\\wmiprov.log", "(Mon Jun 10 12:00:00 2019) : provider started\r\n");
    f.file(wbem + "\\mofcomp.lo_", "(Mon Jun 03 08:12:40 2019) : parsing demo.mof\r\n");
    f.file(win + "\\setupapi.log", "[SetupAPI Log]\r\nOS Version = 6.1.7601 Service Pack 1\r\n");
    f.file(win + "\\WindowsUpdate.log", "2019-06-10 12:00:00 AU Checking for updates\r\n");
    f.file(win + "\\setuplog.txt", "06/10/2019 12:00:00 Setup completed.\r\n");
    f.file(win + "\\Debug\\netsetup.log", "06/10 12:00:00 NetpDoDomainJoin\r\n");
    f.file(win + "\\Debug\\PASSWD.LOG", "");
    f.file(win + "\\Debug\\UserMode\\userenv.log", "USERENV(1a4.1b0) 12:00:00:000 LoadUserProfile\r\n");
    f.file(win + "\\Debug\\UserMode\\userenv.bak", "USERENV(1a4.1b0) 08:00:00:000 LoadUserProfile\r\n");
    f.file(win + "\\security\\logs\\scecomp.log", "Security configuration compared.\r\n");
    f.file(win + "\\security\\logs\\winlogon.old", "Winlogon policy applied.\r\n");
}

// Recycle Bin: what the demo's programs deleted to the recycle bin, in the
// demo's own Trash (never the user's), recorded through the prefix's drive
// as Wine records it (relative to the prefix folder, the Trash's top
// folder); and an entry of another prefix, which is not counted.
void seedTrash(FileSeeder& f, const std::string& trash) {
    const std::string drive = "dosdevices/c:";
    auto trashed = [&](const std::string& name, std::string_view content, const std::string& original) {
        f.prefixFile(trash + "/files/" + name, content);
        f.prefixFile(trash + "/info/" + name + ".trashinfo",
                     "[Trash Info]\nPath=" + original + "\nDeletionDate=2019-06-10T12:00:00\n");
    };
    trashed("old letter.doc", std::string(3072, 'd'), drive + "/users/demo/Documents/old%20letter.doc");
    trashed("draft.txt", "A draft the demo threw away.\r\n", drive + "/users/demo/Desktop/draft.txt");
    f.prefixFile(trash + "/files/Old Photos/beach.jpg", std::string(2048, 'j'));
    f.prefixFile(trash + "/info/Old Photos.trashinfo",
                 "[Trash Info]\nPath=" + drive + "/users/demo/Pictures/Old%20Photos\nDeletionDate=2019-06-10T12:00:00\n");
    trashed("elsewhere.txt", "Another prefix's.\r\n", "/home/demo/.wine-other/dosdevices/c:/elsewhere.txt");
}

// ---- applications -------------------------------------------------------

void seedDocuments(FileSeeder& f) {
    const std::string docs = layout::kDocuments;
    f.sizedFile(docs + "\\budget.xls", "\xd0\xcf\x11\xe0", 13824);
    f.sizedFile(docs + "\\letter.doc", "\xd0\xcf\x11\xe0", 24576);
    f.file(docs + "\\notes.txt", "Buy milk.\r\nCall the garage.\r\n");
    f.sizedFile("C:\\users\\demo\\Music\\Summer Song.mp3", "ID3", 7000);
    f.sizedFile("C:\\users\\demo\\Downloads\\photos.zip", "PK\x03\x04", 30000);
    f.file("C:\\users\\demo\\Desktop\\desktop.ini", "[.ShellClassInfo]\r\n");
}

// Microsoft Office: its recent folder (Report.docx.LNK is 1234 bytes).
void seedOfficeRecent(FileSeeder& f) {
    const std::string recent = join(layout::kAppData, "\\Microsoft\\Office\\Recent");
    f.file(recent + "\\Report.docx.LNK", shortcut(1234));
    f.file(recent + "\\budget.xls.LNK", shortcut(520));
    f.file(recent + "\\index.dat", "[Folders]\r\n");
}

// Opera and Mozilla Firefox profiles.
void seedBrowserProfiles(FileSeeder& f) {
    const std::string opera = join(layout::kAppData, "\\Opera\\Opera\\profile");
    f.sizedFile(opera + "\\cookies4.dat", "", 2600);
    f.sizedFile(opera + "\\cache4\\opr00001.tmp", "", 4100);
    f.sizedFile(opera + "\\cache4\\opr00002.tmp", "", 900);
    f.sizedFile(opera + "\\cache4\\dcache4.url", "", 1500);
    f.sizedFile(opera + "\\global.dat", "", 3300);
    f.file(opera + "\\opera.dir", "Opera Preferences version 2.1\r\n");
    f.sizedFile(opera + "\\download.dat", "", 700);
    f.sizedFile(opera + "\\vlink4.dat", "", 1100);
    f.file(opera + "\\sessions\\autosave.win", "Opera Preferences version 2.1\r\n[session]\r\nwindow count=1\r\n");
    f.file(opera + "\\operaprefs.ini", "Opera Preferences version 2.1\r\n");

    const std::string profile = "\\Mozilla\\Firefox\\Profiles\\lugoaffv.default";
    const std::string cache = join(layout::kLocalAppData, profile.c_str()) + "\\Cache";
    f.sizedFile(cache + "\\_CACHE_MAP_", "", 16384);
    f.sizedFile(cache + "\\_CACHE_001_", "", 8192);
    f.sizedFile(cache + "\\4A1B2C3Dd01", "", 2048);
    const std::string roaming = join(layout::kAppData, profile.c_str());
    f.sizedFile(roaming + "\\history.dat", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n", 6000);
    f.sizedFile(roaming + "\\formhistory.dat", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n", 2200);
    f.file(roaming + "\\prefs.js", "user_pref(\"browser.startup.homepage\", \"about:blank\");\n");
    f.file(join(layout::kAppData, "\\Mozilla\\Firefox\\profiles.ini"),
           "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
           "Path=Profiles/lugoaffv.default\r\n");
}

// Macromedia Flash Player: two folders of per-site data.
void seedFlashPlayer(FileSeeder& f) {
    const std::string flash = join(layout::kAppData, "\\Macromedia\\Flash Player");
    const std::string_view solHeader("\0\xbf", 2);
    f.sizedFile(flash + "\\#SharedObjects\\K7X2M9QD\\www.example.com\\game.sol", solHeader, 310);
    f.sizedFile(flash + "\\macromedia.com\\support\\flashplayer\\sys\\settings.sol", solHeader, 140);
}

}  // namespace

void seedDriveLayout(FileSeeder& files) {
    files.link("dosdevices/c:", "../drive_c");
    seedWindowsFolder(files);
    seedProgramFolders(files);
    seedUserFolders(files);
}

void seedFileCruft(FileSeeder& files, const std::string& trash) {
    seedRecentDocuments(files);
    seedCookies(files);
    seedHistory(files);
    seedInternetCache(files);
    seedTempFiles(files);
    seedSystemLeftovers(files);
    seedDocuments(files);
    seedOfficeRecent(files);
    seedBrowserProfiles(files);
    seedFlashPlayer(files);
    seedTrash(files, trash);
}

}  // namespace kestrane::demo
