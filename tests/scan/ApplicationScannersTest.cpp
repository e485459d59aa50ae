// The applications' recent lists: the applets, Office, the browsers and the
// other applications, their rows, and the application list repair in each
// of its modes.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Registry.h"
#include "scan/ApplicationList.h"
#include "scan/apps/ApplicationScanners.h"
#include "support/PrefixFixture.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;
using reg::Root;

const std::string kShellFolders = R"(
[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1
"AppData"="C:\\users\\me\\AppData\\Roaming"
"Local AppData"="C:\\users\\me\\AppData\\Local"
)";
const fs::path kRoaming = "drive_c/users/me/AppData/Roaming";
const fs::path kLocal = "drive_c/users/me/AppData/Local";

class Applications : public PrefixTest {
protected:
    void open(const std::string& system, const std::string& user) { PrefixTest::open(system, kShellFolders + user); }
    static std::vector<std::string> column(const ResultList& list, std::size_t sub) {
        std::vector<std::string> out;
        for (const auto& r : list.rows())
            out.push_back(r.subitem(sub));
        return out;
    }
};

// ---------------------------------------------------------------- applets

TEST_F(Applications, AppletListsTakeEveryValueButMRUList) {
    const std::string longPath(300, 'p');
    open("", R"(
[Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List] 1
"File1"="C:\\Docs\\Pictures\\holiday.bmp"
"File2"="C:\\Docs\\map.png"
"File3"="D:relative.gif"
"File4"="bare.jpg"
"mrulist"="abcd"

[Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent file list] 1
"File1"="C:\\Docs\\b.rtf"
"File2"=")" + longPath + R"("
"MRUList"="ab"

[Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit] 1
"LastKey"="HKEY_CURRENT_USER\\Software"
"View"=hex:01
)");
    ResultList paint = scan(mspaint);
    EXPECT_EQ(captions(paint), (std::vector<std::string>{"holiday.bmp", "map.png", "relative.gif", "bare.jpg", "abcd"}));
    EXPECT_EQ(column(paint, 0), (std::vector<std::string>{"File1", "File2", "File3", "File4", "mrulist"}));
    EXPECT_EQ(paint.rows()[0].subitems,
              (std::vector<std::string>{"File1", "Registry Data",
                                        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List"}));
    EXPECT_EQ(pacer.positions.size(), 101u);

    // Wine's WordPad spells its key "Recent file list": it is found all the same.
    ResultList wordpad = scan(mswordpad);
    EXPECT_EQ(captions(wordpad), (std::vector<std::string>{"b.rtf", ""}));  // 300 characters read as nothing
    EXPECT_EQ(wordpad.rows()[1].subitem(2),
              "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List");

    ResultList lastKey = scan(regedit);
    EXPECT_EQ(captions(lastKey), (std::vector<std::string>{"Software"}));
    EXPECT_EQ(lastKey.rows()[0].subitem(0), "LastKey");

    // Two of four rows repaired: their values go, the others stay unchecked in order.
    paint.rows()[1].checked = false;
    paint.rows()[3].checked = false;
    paint.rows()[4].checked = false;
    repair(removepaint, paint);
    EXPECT_EQ(captions(paint), (std::vector<std::string>{"map.png", "bare.jpg", "abcd"}));
    EXPECT_FALSE(paint.rows()[0].checked);
    reload();
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
    EXPECT_FALSE(has(Root::CurrentUser, key, "File1"));
    EXPECT_FALSE(has(Root::CurrentUser, key, "File3"));
    EXPECT_TRUE(has(Root::CurrentUser, key, "File2"));
    EXPECT_TRUE(has(Root::CurrentUser, key, "mrulist"));
}

TEST(ApplicationRows, FileNamePartOfTheData) {
    EXPECT_EQ(fileNamePart("My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"), "Classes");
    EXPECT_EQ(fileNamePart("My Computer"), "My Computer");
    EXPECT_EQ(fileNamePart("C:x.txt"), "x.txt");
    EXPECT_EQ(fileNamePart("C:\\dir\\"), "");
    EXPECT_EQ(extensionOf("Report.doc.LNK"), ".LNK");
    EXPECT_EQ(extensionOf("#SharedObjects"), "");
    EXPECT_EQ(extensionOf("macromedia.com"), ".com");
}

// ---------------------------------------------------------------- the application list repair

class ApplicationRepairModes : public Applications {
protected:
    void SetUp() override {
        open(R"(
[Software\\App] 1
"Same"="machine"

[Software\\App\\Same] 1
"x"="y"
)",
             R"(
[Software\\App] 1
@="default"
"Same"="user"
"Keep"="k"

[Software\\App\\Same\\Deeper] 1
"x"="y"

[Software\\App\\Keep] 1
"x"="y"
)");
        prefix->write(kRoaming / "App/recent.txt", "1234");
    }
    // One file row and the registry rows of the user's and the machine's keys.
    ResultList rows() {
        ResultList l("lvapp", applicationListColumns());
        addApplicationFileRow(*ctx, l, "C:\\users\\me\\AppData\\Roaming\\App\\recent.txt", "Recent");
        addApplicationRegistryRow(l, {Root::CurrentUser, "Software\\App"}, "Same", "user");
        addApplicationRegistryRow(l, {Root::LocalMachine, "Software\\App"}, "Same", "machine");
        addApplicationRegistryRow(l, {Root::CurrentUser, "Software\\App"}, "", "default");
        addApplicationRegistryRow(l, {Root::CurrentUser, "Software\\App"}, "Keep\\..\\Keep", "odd");
        return l;
    }
    void run(ApplicationRepair mode) {
        ResultList l = rows();
        ASSERT_EQ(l.count(), 5u);
        repair([mode](ScanContext& c, ResultList& list) { applicationListRepair(c, list, mode); }, l);
        EXPECT_TRUE(l.rows().empty());
        reload();
    }
    bool file() { return fs::exists(prefix->path() / kRoaming / "App/recent.txt"); }
    bool key(Root root, const std::string& path) { return store->keyExists(root, path); }
};

TEST_F(ApplicationRepairModes, ValueMode) {
    run(ApplicationRepair::Value);
    EXPECT_FALSE(file());
    EXPECT_FALSE(has(Root::CurrentUser, "Software\\App", "Same"));
    EXPECT_FALSE(has(Root::LocalMachine, "Software\\App", "Same"));
    EXPECT_FALSE(has(Root::CurrentUser, "Software\\App", ""));
    EXPECT_TRUE(key(Root::CurrentUser, "Software\\App\\Same\\Deeper"));
    EXPECT_TRUE(key(Root::LocalMachine, "Software\\App\\Same"));
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\App", "Keep"));
}

TEST_F(ApplicationRepairModes, ValueAndKeyMode) {
    run(ApplicationRepair::ValueAndKey);
    EXPECT_FALSE(file());
    EXPECT_FALSE(has(Root::CurrentUser, "Software\\App", "Same"));
    EXPECT_FALSE(key(Root::CurrentUser, "Software\\App\\Same"));  // with its subtree
    EXPECT_FALSE(key(Root::LocalMachine, "Software\\App\\Same"));
    // The unnamed value names no subkey, and a name with "\" none either:
    // the key itself and its other subkeys stay.
    EXPECT_TRUE(key(Root::CurrentUser, "Software\\App"));
    EXPECT_TRUE(key(Root::CurrentUser, "Software\\App\\Keep"));
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\App", "Keep"));
}

TEST_F(ApplicationRepairModes, KeyMode) {
    run(ApplicationRepair::Key);
    EXPECT_FALSE(file());
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\App", "Same"));
    EXPECT_FALSE(key(Root::CurrentUser, "Software\\App\\Same"));
    EXPECT_FALSE(key(Root::LocalMachine, "Software\\App\\Same"));
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\App", ""));
    EXPECT_TRUE(key(Root::CurrentUser, "Software\\App\\Keep"));
}

TEST_F(ApplicationRepairModes, FilesOnlyMode) {
    run(ApplicationRepair::FilesOnly);
    EXPECT_FALSE(file());
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\App", "Same"));
    EXPECT_TRUE(key(Root::CurrentUser, "Software\\App\\Same"));
    EXPECT_TRUE(has(Root::LocalMachine, "Software\\App", "Same"));
}

// ---------------------------------------------------------------- Office

TEST_F(Applications, OfficeRecentFolderThenItsKeys) {
    open("", R"(
[Software\\Microsoft\\Office\\8.0\\Excel\\Recent File List] 1
"File1"="C:\\Docs\\report97.xls"
"File2"="C:\\Docs\\plan97.xls"
"MRUList"="ab"

[Software\\Microsoft\\Office\\10.0\\Common\\Internet] 1
"Other"="x"
"UseRWHlinkNavigation"="1"

[Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files] 1
@="unnamed"
"File1"="C:\\Docs\\budget.xls"
"MRUList"="a"

[Software\\Microsoft\\Office\\12.0\\Access\\Settings] 1
"MRU1"="C:\\Docs\\contacts.accdb"
"MRU10"="C:\\Docs\\ten.mdb"
"MRU3"="C:\\Docs\\old.mdb"
"Other"=dword:00000001
)");
    prefix->write(kRoaming / "Microsoft/Office/Recent/Report.doc.LNK", std::string(1234, 'l'));
    prefix->write(kRoaming / "Microsoft/Office/Recent/Sub/old.lnk", "o");  // a folder is listed too
    ResultList office = scan(msoffice);
    ASSERT_EQ(captions(office), (std::vector<std::string>{"Report.doc.LNK", "Sub", "File1", "File2", "UseRWHlinkNavigation",
                                                          "File1", "MRUList", "MRU1", "MRU3"}));
    EXPECT_EQ(office.rows()[0].subitems,
              (std::vector<std::string>{"C:\\users\\me\\AppData\\Roaming\\Microsoft\\Office\\Recent\\", ".LNK",
                                        "Microsoft Office Recentlist", "1.21 KB"}));
    EXPECT_EQ(office.rows()[1].subitem(3), "1 bytes");
    EXPECT_EQ(office.rows()[2].subitems,
              (std::vector<std::string>{"HKCU\\Software\\Microsoft\\Office\\8.0\\Excel\\Recent File List",
                                        "Registry Data", "C:\\Docs\\report97.xls", ""}));
    EXPECT_EQ(office.rows()[8].subitem(2), "C:\\Docs\\old.mdb");
}

// ---------------------------------------------------------------- browsers

TEST_F(Applications, OperaProfileFilesInSourceOrder) {
    open("", "");
    const fs::path profile = kRoaming / "Opera/Opera/profile";
    prefix->write(profile / "cookies4.dat", "c");
    prefix->write(profile / "global.dat", "g");
    prefix->write(profile / "notlisted.dat", "n");
    for (int i = 0; i < 20; ++i)
        prefix->write(profile / "cache4" / ("opr" + std::to_string(10000 + i) + ".tmp"), "x");
    ResultList opera = scan(operabro);
    ASSERT_EQ(opera.count(), 22u);
    EXPECT_EQ(opera.rows().front().caption, "cookies4.dat");
    EXPECT_EQ(opera.rows()[1].caption, "opr10000.tmp");
    EXPECT_EQ(opera.rows().back().caption, "global.dat");
    for (const auto& row : opera.rows())
        EXPECT_EQ(row.subitem(2), "Internet Cache") << row.caption;
    repair(removeopera, opera);
    EXPECT_FALSE(fs::exists(prefix->path() / profile / "cookies4.dat"));
    EXPECT_TRUE(fs::exists(prefix->path() / profile / "notlisted.dat"));
}

TEST(FirefoxProfiles, EveryRelativeProfileInsideTheProfilesFolder) {
    const std::string ini =
        "[General]\r\nStartWithLastProfile=1\r\n\r\n"
        "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/ab12cd34.default\r\n\r\n"
        "[Profile1]\r\nName=abs\r\nIsRelative=0\r\nPath=/home/me/.mozilla/x.default\r\n"
        "[Profile2]\r\nName=escape\r\nIsRelative=1\r\nPath=Profiles/../../../evil\r\n"
        "[Profile3]\r\nName=other\r\nIsRelative=1\r\nPath=Profiles\\zz99.work\r\n"
        "[Profile4]\r\nName=outside\r\nIsRelative=1\r\nPath=elsewhere.default\r\n"
        "[Profile5]\r\nName=again\r\nIsRelative=1\r\nPath=Profiles/ab12cd34.default\r\n";
    EXPECT_EQ(firefoxProfiles(ini, false), (std::vector<std::string>{"ab12cd34.default", "zz99.work"}));
    EXPECT_EQ(firefoxProfiles(ini, true),
              (std::vector<std::string>{"ab12cd34.default", "zz99.work", "lugoaffv.default"}));
    EXPECT_EQ(firefoxProfiles("[Profile0]\nIsRelative=1\nPath=Profiles/lugoaffv.default\n", true),
              (std::vector<std::string>{"lugoaffv.default"}));
    EXPECT_TRUE(firefoxProfiles("", false).empty());
}

TEST_F(Applications, FirefoxProfilesFromProfilesIni) {
    open("", "");
    prefix->write(kRoaming / "Mozilla/Firefox/profiles.ini",
                  "[Profile0]\nIsRelative=1\nPath=Profiles/ab12cd34.default\n"
                  "[Profile1]\nIsRelative=1\nPath=Profiles/../../Opera\n");
    prefix->write(kRoaming / "Mozilla/Firefox/Profiles/ab12cd34.default/history.dat", "h");
    prefix->write(kRoaming / "Mozilla/Firefox/Profiles/ab12cd34.default/formhistory.dat", "f");
    prefix->write(kRoaming / "Mozilla/Firefox/Profiles/ab12cd34.default/prefs.js", "p");
    prefix->write(kLocal / "Mozilla/Firefox/Profiles/ab12cd34.default/Cache/_CACHE_MAP_", std::string(2048, 'c'));
    prefix->write(kRoaming / "Mozilla/Firefox/Profiles/lugoaffv.default/history.dat", "old");
    prefix->write(kRoaming / "Opera/history.dat", "never");
    ResultList firefox = scan(mozillabro);
    EXPECT_EQ(captions(firefox), (std::vector<std::string>{"_CACHE_MAP_", "history.dat", "formhistory.dat",
                                                           "history.dat"}));
    EXPECT_EQ(firefox.rows()[0].subitem(3), "2.00 KB");
    EXPECT_EQ(firefox.rows()[3].subitem(0),
              "C:\\users\\me\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\lugoaffv.default\\");
}

// ---------------------------------------------------------------- the others

TEST_F(Applications, WinZipDirectoriesInTheSourcesOrder) {
    open("", R"(
[Software\\Nico Mak Computing\\WinZip\\directories] 1
"DefDir"="C:\\Docs\\Zips"
"ExtractTo"="C:\\Docs\\Unzipped"
"Other"="keep me"
"zDefDir"="C:\\Docs"
)");
    ResultList winzip = scan(winwinzip);
    EXPECT_EQ(captions(winzip), (std::vector<std::string>{"DefDir", "ExtractTo", "zDefDir"}));
    EXPECT_EQ(column(winzip, 2), (std::vector<std::string>{"C:\\Docs\\Zips", "C:\\Docs\\Unzipped", "C:\\Docs"}));
    EXPECT_EQ(winzip.rows()[0].subitem(0), "HKCU\\Software\\Nico Mak Computing\\WinZip\\directories");
}

TEST_F(Applications, AcrobatReaderRecentFilesAreSubkeys) {
    std::string user;
    for (int i = 1; i <= 5; ++i)
        user += "\n[Software\\\\Adobe\\\\Acrobat Reader\\\\6.0\\\\AVGeneral\\\\cRecentFiles\\\\c" + std::to_string(i) +
                "] 1\n\"tDIText\"=\"/C/Docs/manual" + std::to_string(i) + ".pdf\"\n";
    user += "\n[Software\\\\Adobe\\\\Acrobat Reader\\\\6.0\\\\AVGeneral\\\\cRecentFiles\\\\c3\\\\deeper] 1\n\"x\"=\"y\"\n";
    open("", user);
    ResultList acrobat = scan(acrobat6);
    EXPECT_EQ(captions(acrobat), (std::vector<std::string>{"c1", "c2", "c3", "c4", "c5"}));
    EXPECT_EQ(acrobat.rows()[0].subitem(2), "Acrobat Reader 6.0 Recent Files");
    for (auto& row : acrobat.rows())
        row.checked = row.caption == "c3";
    repair(removeacrobat6, acrobat);
    EXPECT_EQ(acrobat.count(), 4u);
    reload();
    const std::string recent = "Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral\\cRecentFiles\\";
    EXPECT_FALSE(store->keyExists(Root::CurrentUser, recent + "c3"));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, recent + "c4"));
}

TEST_F(Applications, NeroValuesOfBothHivesEachRepairedInItsOwn) {
    const std::string settings = R"(
[Software\\ahead\\Nero - Burning Rom\\Settings] 1
"ImageDir"="C:\\Docs\\Images"
"ImageFile"="C:\\Docs\\Images\\disc.nrg"
)";
    open(settings, settings);
    ResultList nero = scan(Nero);
    EXPECT_EQ(captions(nero), (std::vector<std::string>{"ImageDir", "ImageDir"}));
    EXPECT_EQ(column(nero, 0), (std::vector<std::string>{"HKCU\\Software\\ahead\\Nero - Burning Rom\\Settings",
                                                         "HKLM\\Software\\ahead\\Nero - Burning Rom\\Settings"}));
    nero.rows()[0].checked = false;
    repair(removenero, nero);
    reload();
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\ahead\\Nero - Burning Rom\\Settings", "ImageDir"));
    EXPECT_FALSE(has(Root::LocalMachine, "Software\\ahead\\Nero - Burning Rom\\Settings", "ImageDir"));
}

TEST_F(Applications, FlashPlayerListsEveryEntryOfItsFolderAndRemovesTheCheckedOnes) {
    open("", "");
    const fs::path flash = kRoaming / "Macromedia/Flash Player";
    prefix->write(flash / "#SharedObjects/ABCD1234/site/settings.sol", "shared");
    prefix->write(flash / "macromedia.com/support/settings.sol", "s");
    prefix->write(flash / "stray.sol", "s");
    // The folder's first level only: its subfolders are rows of their own.
    ResultList flashplay = scan(Flashplay);
    ASSERT_EQ(captions(flashplay), (std::vector<std::string>{"#SharedObjects", "macromedia.com", "stray.sol"}));
    const std::string folder = "C:\\users\\me\\AppData\\Roaming\\Macromedia\\Flash Player\\";
    EXPECT_EQ(flashplay.rows()[0].subitems, (std::vector<std::string>{folder, "", "Flash Player Recentlist"}));
    EXPECT_EQ(flashplay.rows()[1].subitems, (std::vector<std::string>{folder, ".com", "Flash Player Recentlist"}));
    // The checked folders go with everything in them; the unchecked row stays.
    flashplay.rows()[2].checked = false;
    repair(removeflashplay, flashplay);
    EXPECT_EQ(captions(flashplay), (std::vector<std::string>{"stray.sol"}));
    EXPECT_FALSE(fs::exists(prefix->path() / flash / "#SharedObjects"));
    EXPECT_FALSE(fs::exists(prefix->path() / flash / "macromedia.com"));
    EXPECT_TRUE(fs::exists(prefix->path() / flash / "stray.sol"));
}

}  // namespace
}  // namespace kestrane::test
