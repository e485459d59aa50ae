// The privacy categories' scans and repairs on prefixes laid out as Wine
// lays one out: each category's findings, what its repair deletes, and that
// nothing outside drive_c is offered, followed or deleted.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/MinimalPe.h"
#include "platform/Registry.h"
#include "scan/FileList.h"
#include "scan/privacy/PrivacyScanners.h"
#include "support/EnvGuard.h"
#include "support/FakeClipboard.h"
#include "support/PrefixFixture.h"
#include "support/TempDir.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;
using reg::Root;

// The folders of a Wine prefix whose user is "me".
const std::string kSystem = R"(
[Software\\Microsoft\\Windows\\CurrentVersion] 1
"ProgramFilesDir"="C:\\Program Files"

[Software\\Microsoft\\Windows NT\\CurrentVersion] 1
"SystemRoot"="C:\\windows"
)";
const std::string kShellFolders = R"(
[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1
"AppData"="C:\\users\\me\\AppData\\Roaming"
"Cache"="C:\\users\\me\\AppData\\Local\\Microsoft\\Windows\\INetCache"
"Cookies"="C:\\users\\me\\AppData\\Local\\Microsoft\\Windows\\INetCookies"
"History"="C:\\users\\me\\AppData\\Local\\Microsoft\\Windows\\History"
"Local AppData"="C:\\users\\me\\AppData\\Local"
"Recent"="C:\\users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Recent"

[Environment] 1
"TEMP"="C:\\users\\me\\Temp"
)";
const fs::path kLocal = "drive_c/users/me/AppData/Local/Microsoft/Windows";

// A cookie file as Wine writes it: nine lines a cookie.
std::string cookie(const std::string& name, const std::string& hostPath) {
    return name + "\nvalue\n" + hostPath + "\n0\n3128338816\n32108254\n609518755\n31295483\n*\n";
}

class Privacy : public PrefixTest {
protected:
    void open(const std::string& system = kSystem, const std::string& user = kShellFolders) {
        prefix = std::make_unique<TempPrefix>(system, user);
        reload();
    }
    ResultList scanOf(const CategoryAction& action) { return scan(action, fileListColumns()); }
    static std::vector<std::string> column(const ResultList& list, std::size_t sub) {
        std::vector<std::string> out;
        for (const auto& r : list.rows())
            out.push_back(r.subitem(sub));
        return out;
    }

    TempDir outside{"kestrane-outside"};
};

// ---------------------------------------------------------------- cookies

TEST_F(Privacy, CookiesOfWineAndOfWindowsByTheirNamesAndRecords) {
    open();
    const fs::path jar = kLocal / "INetCookies";
    prefix->write(jar / "BY8X1P29.txt", cookie("tracker", "ads.example.com/") + cookie("seen", "ads.example.com/"));
    prefix->write(jar / "ZGEX1P29.txt", cookie("session", "www.plainsite.org/"));
    prefix->write(jar / "shop[0].txt", cookie("cart", "www.plainsite.org/shop"));
    prefix->write(jar / "me@ads.example[1].txt", "x");        // Windows' name: the name decides
    prefix->write(jar / "ME@ADS.EXAMPLE[2].TXT", "x");        // capitals: no keyword
    prefix->write(jar / "gordon@plainsite[1].txt", "x");      // "go" in the user's name
    prefix->write(jar / "blog.txt", "not a cookie");          // "log"
    prefix->write(jar / "notes.txt", "not a cookie either");  // nothing
    prefix->write(jar / "index.dat", "WINE URLCache Ver 0.2012001");
    ResultList lvco = scanOf(Cookies);
    EXPECT_EQ(captions(lvco), (std::vector<std::string>{"blog.txt", "BY8X1P29.txt", "gordon@plainsite[1].txt",
                                                        "me@ads.example[1].txt"}));
    EXPECT_EQ(column(lvco, 1), (std::vector<std::string>{"All items listed in Cookies", "ads.example.com/",
                                                         "All items listed in Cookies",
                                                         "All items listed in Cookies"}));
    const auto& wine = lvco.rows()[1];
    EXPECT_TRUE(wine.checked);
    EXPECT_EQ(wine.subitem(0), "Remove");
    EXPECT_EQ(wine.subitem(2), "C:\\users\\me\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\");
    EXPECT_EQ(wine.subitem(3), std::to_string(fs::file_size(prefix->path() / jar / "BY8X1P29.txt")) + " bytes");
    // Ramps 0-30 and 30-100.
    EXPECT_EQ(pacer.positions.size(), 31u + 71u);

    lvco.rows()[0].checked = false;
    repair(removeco, lvco);
    EXPECT_EQ(captions(lvco), (std::vector<std::string>{"blog.txt"}));
    EXPECT_TRUE(fs::exists(prefix->path() / jar / "blog.txt"));
    EXPECT_FALSE(fs::exists(prefix->path() / jar / "BY8X1P29.txt"));
    EXPECT_FALSE(fs::exists(prefix->path() / jar / "me@ads.example[1].txt"));
    EXPECT_TRUE(fs::exists(prefix->path() / jar / "ZGEX1P29.txt"));
    EXPECT_TRUE(fs::exists(prefix->path() / jar / "index.dat"));
}

TEST(CookieRecords, SitesAndKeywords) {
    EXPECT_EQ(cookieSites(cookie("a", "ads.example.com/") + cookie("b", "ads.example.com/") +
                          cookie("c", "www.x.org/shop")),
              (std::vector<std::string>{"ads.example.com/", "www.x.org/shop"}));
    EXPECT_EQ(cookieSites("a\r\nb\r\nhost.org/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n*\r\n"),
              (std::vector<std::string>{"host.org/"}));
    EXPECT_TRUE(cookieSites("no records here").empty());
    EXPECT_TRUE(cookieSites("one\n*\n").empty());  // too short to name a site
    EXPECT_EQ(cookieKeywords().size(), 192u);
    EXPECT_EQ(cookieKeywords().front(), "yahoo");
    EXPECT_EQ(cookieKeywords().back(), "unicast");
    EXPECT_TRUE(hasCookieKeyword("root@ads.example.com/"));
    EXPECT_FALSE(hasCookieKeyword("ROOT@ADS.EXAMPLE.COM/"));  // byte-exact
    EXPECT_TRUE(hasCookieKeyword("x@y/adClutter"));
    EXPECT_FALSE(hasCookieKeyword("x@y/adclutter"));
}

TEST_F(Privacy, CookiesOfAUserWhoseNameHasAKeyword) {
    // Every cookie of a user named "adsman" is listed: the user's part counts.
    std::string user = kShellFolders;
    for (std::size_t at; (at = user.find("\\\\me\\\\")) != std::string::npos;)
        user.replace(at, 6, "\\\\adsman\\\\");
    open(kSystem, user);
    prefix->write("drive_c/users/adsman/AppData/Local/Microsoft/Windows/INetCookies/ZGEX1P29.txt",
                  cookie("session", "www.plainsite.org/"));
    ResultList lvco = scanOf(Cookies);
    ASSERT_EQ(captions(lvco), (std::vector<std::string>{"ZGEX1P29.txt"}));
    EXPECT_EQ(lvco.rows()[0].subitem(1), "www.plainsite.org/");
}

TEST_F(Privacy, NoCookiesFolderListsNothing) {
    open(kSystem, "");
    prefix->write("drive_c/ads.txt", "x");
    EXPECT_TRUE(scanOf(Cookies).rows().empty());
}

// ---------------------------------------------------------------- history and cache

TEST(HistoryFolder, TodaysName) {
    EXPECT_EQ(todayHistoryFolder({2007, 12, 25}), "MSHist012007122520071226");
    EXPECT_EQ(todayHistoryFolder({2008, 5, 3}), "MSHist0120085032008504");
    EXPECT_EQ(todayHistoryFolder({2008, 12, 31}), "MSHist01200812312009101");
    EXPECT_EQ(todayHistoryFolder({2024, 2, 28}), "MSHist012024228202422" "9");
}

class FixedClock : public files::Clock {
public:
    files::LocalTime now() const override { return {2008, 5, 3, 10, 0, 0}; }
};

TEST_F(Privacy, HistoryWalksThreeLevelsAndSkipsToday) {
    open();
    FixedClock clock;
    ctx->clock = &clock;
    const fs::path ie5 = kLocal / "History/History.IE5";
    prefix->write(ie5 / "index.dat", "top");
    prefix->write(ie5 / "desktop.ini", "ini");
    prefix->write(ie5 / "MSHist0120085032008504/index.dat", "today");           // skipped
    prefix->write(ie5 / "MSHist012008050320080504/index.dat", "another day");   // listed
    prefix->write(ie5 / "MSHist012007122420071225/index.dat", "day");
    prefix->write(ie5 / "MSHist012007122420071225/a.url", "a");
    prefix->write(ie5 / "MSHist012007122420071225/deeper/x.htm", "x");         // level 3
    fs::create_directories(prefix->path() / ie5 / "MSHist012007122420071225/deeper/folder");  // level 3: listed
    prefix->write(ie5 / "Low.IE5/sub/page.htm", "low");                        // descended
    prefix->write(ie5 / "Old.ie5/kept.htm", "old");                             // file-like: listed whole
    prefix->write(ie5 / "noext", "a file without extension is walked into");
    ResultList lvhis = scanOf(history);
    ASSERT_EQ(captions(lvhis),
              (std::vector<std::string>{"desktop.ini", "page.htm", "a.url", "folder", "x.htm", "index.dat",
                                        "index.dat", "Old.ie5"}));
    const std::string base = "C:\\users\\me\\AppData\\Local\\Microsoft\\Windows\\History\\History.IE5\\";
    EXPECT_EQ(lvhis.rows()[1].subitem(2), base + "Low.IE5\\sub\\");
    EXPECT_EQ(lvhis.rows()[2].subitem(2), base + "MSHist012007122420071225\\");
    EXPECT_EQ(lvhis.rows()[3].subitem(2), base + "MSHist012007122420071225\\deeper\\");
    EXPECT_EQ(lvhis.rows()[6].subitem(2), base + "MSHist012008050320080504\\");
    EXPECT_EQ(lvhis.rows()[7].subitem(3), "3 bytes");  // a folder: the files in it
    EXPECT_EQ(lvhis.rows()[0].subitem(1), "All items listed in History Folder");
    EXPECT_EQ(pacer.positions.size(), 101u);
    // Two scans in a row give the same rows.
    EXPECT_EQ(captions(scanOf(history)), captions(lvhis));
}

TEST_F(Privacy, TemporaryInternetFilesLeaveEveryIndexAlone) {
    open();
    const fs::path cache = kLocal / "INetCache/Content.IE5";
    prefix->write(cache / "index.dat", "top");
    prefix->write(cache / "7F0LY56O/index[0].html", "<html>");
    prefix->write(cache / "7F0LY56O/index.dat", "inner");
    prefix->write(cache / "7F0LY56O/noext", "not listed");
    fs::create_directories(prefix->path() / cache / "BNEY1P29");
    prefix->write(cache / "FVSB58YV/banner[0].gif", "GIF89a");
    ResultList lvtempie = scanOf(tempie);
    EXPECT_EQ(captions(lvtempie), (std::vector<std::string>{"index[0].html", "banner[0].gif"}));
    EXPECT_EQ(lvtempie.rows()[1].subitem(3), "6 bytes");
    repair(removetempie, lvtempie);
    EXPECT_TRUE(lvtempie.rows().empty());
    EXPECT_FALSE(fs::exists(prefix->path() / cache / "FVSB58YV/banner[0].gif"));
    EXPECT_TRUE(fs::exists(prefix->path() / cache / "index.dat"));
    EXPECT_TRUE(fs::exists(prefix->path() / cache / "7F0LY56O/index.dat"));
}

TEST_F(Privacy, WalksNeverFollowALinkOutOfTheBrowserFolders) {
    open();
    writeFile(outside.path() / "secret.txt", "mine");
    writeFile(outside.path() / "deep/diary.doc", "mine");
    const fs::path cache = prefix->path() / kLocal / "INetCache/Content.IE5";
    fs::create_directories(cache);
    fs::create_symlink(outside.path(), cache / "HOMELINK");
    prefix->write(kLocal / "INetCache/Content.IE5/REAL0001/page[0].htm", "x");
    EXPECT_EQ(captions(scanOf(tempie)), (std::vector<std::string>{"page[0].htm"}));
    // A browser folder that is itself a link out of drive_c is not walked.
    fs::create_symlink(outside.path(), prefix->path() / kLocal / "History");
    fs::create_directories(outside.path() / "History.IE5/MSHist012000010120000102");
    writeFile(outside.path() / "History.IE5/MSHist012000010120000102/a.htm", "mine");
    EXPECT_TRUE(scanOf(history).rows().empty());
    EXPECT_TRUE(fs::exists(outside.path() / "secret.txt"));
}

// ---------------------------------------------------------------- temporary files

TEST_F(Privacy, TemporaryFilesOfTheSystemThenOfTheUsersTempVariable) {
    open();
    prefix->write("drive_c/windows/temp/kst5e66.tmp", "");  // "C:\windows\Temp" found in any case
    prefix->write("drive_c/windows/temp/a.TMP", "12");
    prefix->write("drive_c/windows/temp/keep.log", "");
    prefix->write("drive_c/users/me/Temp/kst5e64.tmp", "");
    prefix->write("drive_c/users/me/Temp/sub/deeper.tmp", "");  // no subfolders
    writeFile(outside.path() / "home.tmp", "mine");
    fs::create_symlink(outside.path() / "home.tmp", prefix->path() / "drive_c/users/me/Temp/link.tmp");
    ResultList lvdel = scanOf(temp_files);
    EXPECT_EQ(captions(lvdel), (std::vector<std::string>{"a.TMP", "kst5e66.tmp", "kst5e64.tmp", "link.tmp"}));
    EXPECT_EQ(column(lvdel, 2), (std::vector<std::string>{"C:\\windows\\Temp\\", "C:\\windows\\Temp\\",
                                                          "C:\\users\\me\\Temp\\", "C:\\users\\me\\Temp\\"}));
    EXPECT_EQ(lvdel.rows()[0].subitem(1), "All items listed in History Folder");
    repair(removetemp, lvdel);
    EXPECT_FALSE(fs::exists(prefix->path() / "drive_c/users/me/Temp/kst5e64.tmp"));
    // The link went, what it pointed to stays.
    EXPECT_FALSE(fs::exists(fs::symlink_status(prefix->path() / "drive_c/users/me/Temp/link.tmp")));
    EXPECT_EQ(readFile(outside.path() / "home.tmp"), "mine");
    EXPECT_TRUE(fs::exists(prefix->path() / "drive_c/windows/temp/keep.log"));
}

TEST_F(Privacy, TemporaryFilesOfLocalSettingsWhenThePrefixHasIt) {
    open(kSystem, kShellFolders + "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
                                   "\"Local Settings\"=\"C:\\\\users\\\\me\\\\Local Settings\"\n");
    prefix->write("drive_c/users/me/Local Settings/Temp/old.tmp", "");
    prefix->write("drive_c/users/me/Temp/not-searched.tmp", "");
    EXPECT_EQ(captions(scanOf(temp_files)), (std::vector<std::string>{"old.tmp"}));
}

TEST_F(Privacy, TemporaryFilesOfTheUsersOwnTempOnly) {
    // The user's TEMP refers to the profile; the machine's TEMP is the
    // system's folder, which is not searched a second time for a user who
    // has none.
    std::string user = kShellFolders;
    user.replace(user.find("\"TEMP\"="), std::string("\"TEMP\"=\"C:\\\\users\\\\me\\\\Temp\"").size(),
                 "\"TEMP\"=str(2):\"%USERPROFILE%\\\\Local\\\\Temp\"");
    const std::string machine = kSystem + R"(
[System\\CurrentControlSet\\Control\\Session Manager\\Environment] 1
"TEMP"=str(2):"%SystemRoot%\\TEMP"

[Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1000] 1
"ProfileImagePath"="C:\\users\\me"
)";
    open(machine, user);
    prefix->write("drive_c/windows/temp/sys.tmp", "");
    prefix->write("drive_c/users/me/Local/Temp/mine.tmp", "");
    EXPECT_EQ(captions(scanOf(temp_files)), (std::vector<std::string>{"sys.tmp", "mine.tmp"}));

    std::string noTemp = kShellFolders;
    noTemp.erase(noTemp.find("[Environment]"));
    open(machine, noTemp);
    prefix->write("drive_c/windows/temp/sys.tmp", "");
    EXPECT_EQ(captions(scanOf(temp_files)), (std::vector<std::string>{"sys.tmp"}));
}

TEST_F(Privacy, ATemporaryFolderOutsideDriveCOffersNothing) {
    open();
    writeFile(outside.path() / "mine.tmp", "mine");
    fs::create_directories(prefix->path() / "drive_c/users/me");
    fs::create_symlink(outside.path(), prefix->path() / "drive_c/users/me/Temp");
    ResultList lvdel = scanOf(temp_files);
    EXPECT_TRUE(lvdel.rows().empty());
    EXPECT_EQ(readFile(outside.path() / "mine.tmp"), "mine");
}

// ---------------------------------------------------------------- recycle bin

class RecycleBinCategory : public Privacy {
protected:
    void SetUp() override {
        // The prefix's recycle bin is the Trash of this test's own data folder.
        data.emplace("XDG_DATA_HOME", dataDir.path().string());
        open();
        trash = dataDir.path() / "Trash";
    }
    void trashed(const std::string& name, const std::string& content, const fs::path& original) {
        writeFile(trash / "files" / name, content);
        writeFile(trash / "info" / (name + ".trashinfo"), "[Trash Info]\nPath=" + original.string() +
                                                              "\nDeletionDate=2026-12-09T16:34:20\n");
    }
    void shell(std::uint32_t version) {
        MinimalPeOptions o;
        o.versionMs = version;
        prefix->write("drive_c/windows/system32/shell32.dll", minimalPe(o));
    }
    TempDir dataDir{"kestrane-data"};
    std::optional<EnvGuard> data;
    fs::path trash;
};

TEST_F(RecycleBinCategory, OneRowForThePrefixsItemsAndTheirSize) {
    shell(0x00060000);
    trashed("old.txt", std::string(1536, 'x'), prefix->path() / "dosdevices/c:/Docs/old.txt");
    writeFile(trash / "files/Old Folder/inside.txt", std::string(512, 'y'));
    writeFile(trash / "info/Old Folder.trashinfo",
              "[Trash Info]\nPath=" + (prefix->path() / "dosdevices/c:/Docs/Old%20Folder").string() + "\n");
    trashed("linux.txt", "someone else's", "/home/someone/linux.txt");
    ResultList lvbin = scan(recycle);
    ASSERT_EQ(lvbin.count(), 1u);
    EXPECT_EQ(lvbin.rows()[0].caption, "2 files in Recycle Bin");
    EXPECT_EQ(lvbin.rows()[0].subitems, (std::vector<std::string>{"Remove", "2.00 KB"}));
    EXPECT_EQ(ctx->recycleCount, 2);

    lvbin.rows()[0].checked = false;  // the check box is not consulted
    repair(removebin, lvbin);
    EXPECT_TRUE(lvbin.rows().empty());
    EXPECT_EQ(ctx->recycleCount, 0);
    EXPECT_FALSE(fs::exists(trash / "files/old.txt"));
    EXPECT_FALSE(fs::exists(trash / "files/Old Folder"));
    EXPECT_TRUE(fs::exists(trash / "files/linux.txt"));
    EXPECT_TRUE(fs::exists(trash / "info/linux.txt.trashinfo"));
}

TEST_F(RecycleBinCategory, AnOldShellIsNotAsked) {
    trashed("old.txt", "x", prefix->path() / "dosdevices/c:/Docs/old.txt");
    shell(0x00040047);  // 4.71
    EXPECT_TRUE(scan(recycle).rows().empty());
    EXPECT_EQ(ctx->recycleCount, 0);
    shell(0x00040048);  // 4.72
    EXPECT_EQ(scan(recycle).count(), 1u);
    EXPECT_EQ(ctx->recycleCount, 1);
}

// ---------------------------------------------------------------- clipboard

TEST_F(Privacy, ClipboardTextPictureAndFiles) {
    open();
    FakeClipboard clipboard;
    ctx->clipboard = &clipboard;
    clipboard.contents->text = "abc";
    clipboard.contents->picture = true;
    clipboard.contents->files = {"C:\\Docs\\a.txt", "C:\\Docs\\" + std::string(300, 'n')};
    ResultList lvclip = scan(clip);
    EXPECT_EQ(captions(lvclip), (std::vector<std::string>{"abc", "Image File", "C:\\Docs\\a.txt",
                                                          ("C:\\Docs\\" + std::string(300, 'n')).substr(0, 260)}));
    EXPECT_EQ(column(lvclip, 1), (std::vector<std::string>{"Text File in Clipboard", "Image File in Clipboard",
                                                           "Path File in Clipboard", "Path File in Clipboard"}));
    lvclip.rows()[0].checked = false;
    repair(removeclip, lvclip);
    EXPECT_EQ(clipboard.clears, 1);
    EXPECT_TRUE(lvclip.rows().empty());
    // A clipboard that cannot be read, and none at all, give no rows.
    clipboard.contents.reset();
    EXPECT_TRUE(scan(clip).rows().empty());
    ctx->clipboard = nullptr;
    EXPECT_TRUE(scan(clip).rows().empty());
}

// ---------------------------------------------------------------- dumps, chkdsk, logs

TEST_F(Privacy, LeftoverSystemFilesByPlaceAndExclusion) {
    open();
    for (const char* f :
         {"drive_c/windows/memory.dmp", "drive_c/windows/Minidump/a.dmp", "drive_c/windows/Minidump/b.DMP",
          "drive_c/FILE0000.CHK", "drive_c/FOUND.000/FILE0001.CHK", "drive_c/windows/setupapi.log",
          "drive_c/windows/WindowsUpdate.log", "drive_c/windows/setuplog.txt", "drive_c/windows/SETUPLOG.TXT",
          "drive_c/windows/Debug/passwd.log", "drive_c/windows/Debug/PASSWD.LOG", "drive_c/windows/Debug/UserMode/u.bak",
          "drive_c/windows/system32/wbem/Logs/x.log", "drive_c/windows/system32/wbem/Logs/y.lo_",
          "drive_c/windows/security/logs/z.old", "drive_c/windows/security/logs/keep.txt"})
        prefix->write(f, "x");
    EXPECT_EQ(captions(scanOf(dump)), (std::vector<std::string>{"memory.dmp", "a.dmp", "b.DMP"}));
    EXPECT_EQ(captions(scanOf(chk)), (std::vector<std::string>{"FILE0000.CHK"}));
    ResultList lvlog = scanOf(log);
    EXPECT_EQ(captions(lvlog), (std::vector<std::string>{"x.log", "y.lo_", "setupapi.log", "setuplog.txt",
                                                         "passwd.log", "u.bak", "z.old"}));
    EXPECT_EQ(lvlog.rows()[0].subitem(1), "All items listed in Temporary Folder");
    EXPECT_EQ(lvlog.rows()[2].subitem(2), "C:\\windows\\");
    repair(removelog, lvlog);
    EXPECT_FALSE(fs::exists(prefix->path() / "drive_c/windows/setupapi.log"));
    EXPECT_TRUE(fs::exists(prefix->path() / "drive_c/windows/WindowsUpdate.log"));
    EXPECT_TRUE(fs::exists(prefix->path() / "drive_c/windows/Debug/PASSWD.LOG"));
}

// ---------------------------------------------------------------- advanced analysis

TEST_F(Privacy, AdvancedAnalysisOfTheRecentlyUsedLists) {
    open(kSystem + R"(
[Software\\Microsoft\\Direct3D\\MostRecentApplication] 1
"Name"="game.exe"

[Software\\Microsoft\\DirectDraw\\MostRecentApplication] 1
"Name"="oldgame.exe"
"Other"="x"
)",
         kShellFolders + R"(
[Software\\Microsoft\\Internet Explorer] 1
"Download Directory"="C:\\Docs\\Downloads"
"Other"="x"

[Software\\Microsoft\\Internet Explorer\\Main] 1
"Save Directory"="C:\\Docs\\Saved\\"
"Start Page"="https://www.winehq.org"

[Software\\Microsoft\\Internet Explorer\\TypedURLs] 1
"url1"="http://www.plainsite.org/"
"url2"="http://ads.example.com/banner"

[Software\\Microsoft\\Search Assistant\\ACMru\\5603] 1
"000"="secret plans"

[Software\\Microsoft\\Search Assistant\\ACMru\\5604] 1
"000"="budget"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU] 1
"a"="C:\\Docs\\report.doc"
"MRUList"="a"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt] 1
"a"="C:\\Docs\\notes.txt"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU] 1
"a"="notepad\\1"
"MRUList"="a"

[Software\\Microsoft\\Direct3D\\MostRecentApplication] 1
"Name"="game.exe"
)");
    ResultList lvadvanced = scan(advanced);
    EXPECT_EQ(captions(lvadvanced), (std::vector<std::string>{"url1", "url2", "a", "MRUList", "Download Directory",
                                                              "Save Directory", "000", "000", "a", "Name", "Name",
                                                              "Name"}));
    EXPECT_EQ(lvadvanced.rows()[0].subitems,
              (std::vector<std::string>{"Recently Typed URLs", "http://www.plainsite.org/",
                                        "HKCU\\Software\\Microsoft\\Internet Explorer\\TypedURLs"}));
    EXPECT_EQ(lvadvanced.rows()[6].subitem(2), "HKCU\\Software\\Microsoft\\Search Assistant\\ACMru\\5603\\");
    EXPECT_EQ(lvadvanced.rows()[10].subitem(2), "HKLM\\Software\\Microsoft\\Direct3D\\MostRecentApplication");
    // The ramps: ten of eleven positions each.
    EXPECT_EQ(pacer.positions.size(), 110u);

    // Nothing checked: nothing changes. Then the machine's Direct3D "Name"
    // and a search term go, each from its own hive only.
    for (auto& r : lvadvanced.rows())
        r.checked = false;
    repair(removeadvanced, lvadvanced);
    EXPECT_EQ(lvadvanced.count(), 12u);
    lvadvanced.rows()[10].checked = true;
    lvadvanced.rows()[6].checked = true;
    repair(removeadvanced, lvadvanced);
    EXPECT_EQ(lvadvanced.count(), 10u);
    reload();
    EXPECT_FALSE(has(Root::LocalMachine, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name"));
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name"));
    EXPECT_FALSE(has(Root::CurrentUser, "Software\\Microsoft\\Search Assistant\\ACMru\\5603", "000"));
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\Microsoft\\Search Assistant\\ACMru\\5604", "000"));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, "Software\\Microsoft\\Search Assistant\\ACMru\\5603"));
}

}  // namespace
}  // namespace kestrane::test
