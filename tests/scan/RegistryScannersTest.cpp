#include <gtest/gtest.h>

#include <filesystem>

#include "platform/LaunchProbe.h"
#include "platform/PrefixFileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "scan/IgnoreLists.h"
#include "scan/registry/RegistryScanners.h"
#include "support/PrefixFixture.h"
#include "support/TempPrefix.h"

using namespace kestrane;
using namespace kestrane::reg;
using kestrane::test::TempPrefix;

namespace {

// Machine settings every case shares: the system folders and the environment.
const std::string kSystemBase =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n"
    "\n[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n"
    "\"PATH\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%\"\n";

class Scanners : public test::PrefixTest {
protected:
    void open(const std::string& system, const std::string& user) {
        prefix = std::make_unique<TempPrefix>(kSystemBase + system, user);
        for (const char* f : {"drive_c/windows/notepad.exe", "drive_c/windows/system32/present.dll",
                              "drive_c/windows/system32/winemenubuilder.exe", "drive_c/Program Files/App/app.exe",
                              "drive_c/Program Files/Common Files/shared.dll", "drive_c/Old/kept.txt"})
            prefix->write(f, "x");
        std::filesystem::create_directories(prefix->driveC() / "Program Files/App/Folder.dll");
        reload();
    }
};

}  // namespace

TEST_F(Scanners, StartupListsCommandsThatCannotStart) {
    const std::string longText(256, 'x');
    open(kSystemBase.substr(0, 0) +
             "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n"
             "\"MachineGone\"=\"C:\\\\Gone\\\\gone.exe\"\n"
             "\"Menu\"=\"C:\\\\windows\\\\system32\\\\winemenubuilder.exe -a -r\"\n",
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n"
         "@=\"C:\\\\nothing.exe\"\n"
         "\"Blanks\"=\"C:\\\\Program Files\\\\App\\\\app.exe /min\"\n"
         "\"Empty\"=\"\"\n"
         "\"Long\"=\"" + longText + "\"\n"
         "\"Notepad\"=\"notepad\"\n"
         "\"Var\"=str(2):\"%SystemRoot%\\\\notepad.exe\"\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\RunOnce] 1\n"
         "\"Once\"=\"\\\"C:\\\\Program Files\\\\Gone App\\\\x.exe\\\" /s\"\n");
    ResultList lvsp = scan(Startup);
    ASSERT_EQ(captions(lvsp), (std::vector<std::string>{"", "Empty", "Long", "Var", "Once", "MachineGone"}));
    const auto& var = lvsp.rows()[3];
    EXPECT_TRUE(var.checked);
    EXPECT_EQ(var.subitems, (std::vector<std::string>{"Missing Startup Application(Remove)", "%SystemRoot%\\notepad.exe",
                                                      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"}));
    EXPECT_EQ(lvsp.rows()[2].subitem(1), "");  // too long for the read buffer
    EXPECT_EQ(lvsp.rows()[4].subitem(2), "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    EXPECT_EQ(lvsp.rows()[5].subitem(2), "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    // The ramps: 0-30, 30-60, 60-80, 80-100.
    EXPECT_EQ(pacer.positions.size(), 31u + 31u + 21u + 21u);
    EXPECT_EQ(pacer.positions.front(), 0);
    EXPECT_EQ(pacer.positions.back(), 100);

    // Repair: only the checked rows' values go, each from its own hive.
    lvsp.rows()[1].checked = false;  // keep "Empty"
    repair(removesp, lvsp);
    EXPECT_EQ(captions(lvsp), (std::vector<std::string>{"Empty"}));
    EXPECT_FALSE(lvsp.rows()[0].checked);
    reload();
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    EXPECT_TRUE(has(Root::CurrentUser, run, "Empty"));
    EXPECT_TRUE(has(Root::CurrentUser, run, "Notepad"));
    EXPECT_TRUE(has(Root::CurrentUser, run, "Blanks"));
    EXPECT_FALSE(has(Root::CurrentUser, run, "Var"));
    EXPECT_FALSE(has(Root::CurrentUser, run, ""));
    EXPECT_FALSE(has(Root::LocalMachine, run, "MachineGone"));
    EXPECT_TRUE(has(Root::LocalMachine, run, "Menu"));
    EXPECT_EQ(captions(scan(Startup)), (std::vector<std::string>{"Empty"}));
}

TEST_F(Scanners, UninstallEntriesWithoutMarkersAndTheIgnoreList) {
    std::string keys;
    for (int i = 0; i < 50; ++i)
        keys += "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Bulk" + std::to_string(100 + i) +
                "] 1\n\"Other\"=\"x\"\n";
    open("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Deep\\\\Below] 1\n\"x\"=\"1\"\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Named] 1\n\"DisplayName\"=\"N\"\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Source] 1\n\"InstallSource\"=\"s\"\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Zempty] 1\n" + keys,
         "");
    ResultList lvue = scan(Uninstall);
    ASSERT_EQ(lvue.count(), 52u);
    EXPECT_EQ(lvue.rows()[0].caption, "Bulk100");
    EXPECT_EQ(lvue.rows()[50].caption, "Deep");
    EXPECT_EQ(lvue.rows()[51].caption, "Zempty");
    EXPECT_EQ(lvue.rows()[50].subitems,
              (std::vector<std::string>{"Missing Uninstall Key(Removable)", "Deep",
                                        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Deep"}));
    // One step per finding from 30, stopping at 70, then 70-100.
    std::vector<int> walk(pacer.positions.begin() + 31, pacer.positions.begin() + 31 + 52);
    EXPECT_EQ(walk.front(), 31);
    EXPECT_EQ(walk[39], 70);
    EXPECT_EQ(walk.back(), 70);

    // Ignoring is exact: "Zempty" is skipped, "deep" would not hide "Deep".
    ASSERT_TRUE(ignores->ignore("ue", "Zempty", lvue.rows()[51].subitem(2)).ok());
    ASSERT_TRUE(ignores->ignore("ue", "deep", "x").ok());
    for (auto& row : lvue.rows())
        row.checked = row.caption == "Deep";
    repair(removeue, lvue);
    reload();  // the ignore list comes back from its file
    ResultList again = scan(Uninstall);
    EXPECT_EQ(again.count(), 50u);
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Deep"));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zempty"));
}

TEST_F(Scanners, FileExtensionsThatNothingOpens) {
    open("\n[Software\\\\Classes\\\\.def] 1\n@=\"deffile\"\n",
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\.abc\\\\OpenWithProgids] 1\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\.def] 1\n\"x\"=\"1\"\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\.ghi\\\\OpenWithList] 1\n"
         "\"a\"=\"app.exe\"\n"
         "\n[Software\\\\Classes\\\\.user] 1\n"
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\.user] 1\n");
    ResultList lvfe = scan(FileExt);
    ASSERT_EQ(captions(lvfe), (std::vector<std::string>{".ghi"}));
    EXPECT_EQ(lvfe.rows()[0].subitems,
              (std::vector<std::string>{"Unused Extension(Removable)", "Empty Key",
                                        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"}));
    repair(removefe, lvfe);
    reload();
    const std::string exts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
    EXPECT_FALSE(store->keyExists(Root::CurrentUser, exts + ".ghi"));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, exts + ".def"));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, exts + ".abc\\OpenWithProgids"));
}

TEST_F(Scanners, ActiveXServersThroughTheCandidatePaths) {
    auto server = [](const std::string& clsid, const std::string& path) {
        return "\n[Software\\\\Classes\\\\CLSID\\\\" + clsid + "\\\\InprocServer32] 1\n@=\"" + path + "\"\n";
    };
    open(server("{01}", "\\\"C:\\\\Program Files\\\\App\\\\app.exe\\\"") +     // quoted, present
             server("{02}", "%SystemRoot%\\\\system32\\\\present.dll") +        // variable, present
             server("{03}", "%SYSTEMROOT%\\\\system32\\\\present.dll") +        // unknown spelling
             server("{04}", "present.dll") +                                    // bare, in system32
             server("{05}", "notepad.exe") +                                    // only in the Windows folder
             server("{06}", "C:\\\\Program Files\\\\App\\\\Folder.dll") +       // a folder
             server("{07}", "C:\\\\Program Files\\\\App\\\\app.exe /embed") +   // arguments
             server("{08}", "%CommonProgramFiles%\\\\shared.dll") +             // common files
             server("{09}", "C:\\\\gone.dll") + server("{10}", "C:\\\\gone.dll") +
             "\n[Software\\\\Classes\\\\CLSID\\\\{11}] 1\n@=\"no server key\"\n" +
             "\n[Software\\\\Classes\\\\CLSID\\\\{12}\\\\InprocServer32] 1\n\"ThreadingModel\"=\"Both\"\n",
         server("{13}", "C:\\\\users\\\\gone.dll"));  // the user's classes count as well
    ResultList lvax = scan(ActiveX);
    ASSERT_EQ(captions(lvax), (std::vector<std::string>{"%SYSTEMROOT%\\system32\\present.dll", "notepad.exe",
                                                        "C:\\Program Files\\App\\Folder.dll",
                                                        "C:\\Program Files\\App\\app.exe /embed", "C:\\gone.dll",
                                                        "C:\\gone.dll", "C:\\users\\gone.dll"}));
    EXPECT_EQ(lvax.rows()[4].subitems, (std::vector<std::string>{"Missing Path(Removable)", "{09}", "HKCR\\CLSID"}));
    // An ignored path hides every class with that path.
    ASSERT_TRUE(ignores->ignore("ax", "C:\\gone.dll", "HKCR\\CLSID").ok());
    lvax = scan(ActiveX);
    EXPECT_EQ(lvax.count(), 5u);
    // The repair deletes the whole class key, in the hive that holds it.
    repair(removeax, lvax);
    reload();
    EXPECT_FALSE(store->keyExists(Root::ClassesRoot, "CLSID\\{03}"));
    EXPECT_FALSE(store->keyExists(Root::CurrentUser, "Software\\Classes\\CLSID\\{13}"));
    EXPECT_TRUE(store->keyExists(Root::ClassesRoot, "CLSID\\{09}"));
    EXPECT_TRUE(store->keyExists(Root::ClassesRoot, "CLSID\\{01}\\InprocServer32"));
}

TEST_F(Scanners, ProgressiveAnalysisCleansByLevel) {
    open("\n[Software\\\\L1] 1\n\"args\"=\"C:\\\\Old\\\\tool.exe /quiet\"\n\"kept\"=\"C:\\\\Old\\\\kept.txt\"\n"
         "\"lower\"=\"c:\\\\old\\\\gone.exe\"\n\"folder\"=\"C:\\\\Old\"\n"
         "\n[Software\\\\L1\\\\L2] 1\n@=\"file://C:\\\\Docs\\\\page.htm\"\n\"args\"=\"C:\\\\Old\\\\tool.exe /quiet\"\n"
         "\n[Software\\\\L1\\\\L2\\\\L3] 1\n\"q\"=\"\\\"C:\\\\Prog\\\\app.exe\\\",0\"\n"
         "\n[Software\\\\L1\\\\L2\\\\L3\\\\L4] 1\n\"bds\"=\"$(BDS)\\\\lib;C:\\\\Lib\\\\x.lib/opt\"\n"
         "\n[Software\\\\L1\\\\L2\\\\L3\\\\L4\\\\L5] 1\n\"too deep\"=\"C:\\\\gone5.exe\"\n"
         "\n[Software\\\\Wine\\\\Menu] 1\n\"cmd\"=\"C:\\\\windows\\\\system32\\\\winemenubuilder.exe -a -r\"\n"
         "\n[Software\\\\Linked] 1\n#link\n\"SymbolicLinkValue\"=hex(6):5c,00\n",
         "\n[Software\\\\U1\\\\U2\\\\U3] 1\n\"q\"=\"\\\"C:\\\\Prog\\\\app.exe\\\",0\"\n"
         "\n[Software\\\\U1\\\\U2\\\\U3\\\\U4\\\\U5] 1\n"
         "\"player\"=\"\\\"C:\\\\Player\\\\player.exe\\\" --one-instance --playlist-enqueue \\\"%1\\\"\"\n"
         "\n[Software\\\\U1\\\\U2\\\\U3\\\\Uninstall\\\\App] 1\n\"u\"=\"C:\\\\gone-uninstall.exe\"\n");
    ResultList LV2 = scan(Deep);
    std::vector<std::pair<std::string, std::string>> found;
    for (const auto& r : LV2.rows())
        found.emplace_back(r.caption, r.subitem(2) + " " + r.subitem(1));
    std::vector<std::pair<std::string, std::string>> expected = {
        {"C:\\Old\\tool.exe /quiet", "HKLM\\SOFTWARE\\L1 args"},
        {"C:\\Docs\\page.htm", "HKLM\\SOFTWARE\\L1\\L2 (Default)"},
        {"C:\\Old\\tool.exe /quiet", "HKLM\\SOFTWARE\\L1\\L2 args"},  // no split at blanks
        {"C:\\Prog\\app.exe", "HKLM\\SOFTWARE\\L1\\L2\\L3 q"},
        {"C:\\Lib\\x.lib", "HKLM\\SOFTWARE\\L1\\L2\\L3\\L4 bds"},
        {"C:\\Player\\player.exe ", "HKCU\\SOFTWARE\\U1\\U2\\U3\\U4\\U5 player"},
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(LV2.columns().size(), 0u);  // the frame sets the columns, not the scan

    // Repair: a named value is deleted, the default value is emptied.
    repair(removeda, LV2);
    reload();
    auto l2 = store->openKey(Root::LocalMachine, "Software\\L1\\L2");
    ASSERT_TRUE(l2.ok());
    EXPECT_EQ(store->queryValue(*l2, "")->text(), "");
    EXPECT_FALSE(store->queryValue(*l2, "args").has_value());
    EXPECT_TRUE(has(Root::LocalMachine, "Software\\L1", "kept"));
    EXPECT_TRUE(has(Root::LocalMachine, "Software\\L1", "lower"));
    EXPECT_TRUE(has(Root::CurrentUser, "Software\\U1\\U2\\U3", "q"));
    EXPECT_EQ(scan(Deep).count(), 0u);
}

TEST_F(Scanners, RecentDocumentsAndTheirIgnoreList) {
    open("", "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
             "\"Recent\"=\"C:\\\\users\\\\me\\\\Recent\"\n");
    prefix->write("drive_c/users/me/Recent/a.lnk", std::string(1536, 'a'));
    prefix->write("drive_c/users/me/Recent/B.LNK", "b");
    prefix->write("drive_c/users/me/Recent/c.txt", "c");
    ResultList lvpc = scan(Privacy);
    ASSERT_EQ(captions(lvpc), (std::vector<std::string>{"a.lnk", "B.LNK"}));
    EXPECT_EQ(lvpc.rows()[0].subitems, (std::vector<std::string>{"Remove", "All items listed in Recent Documents",
                                                                 "C:\\users\\me\\Recent\\", "1.50 KB"}));
    ASSERT_TRUE(ignores->ignore("pc", "B.LNK", "C:\\users\\me\\Recent\\").ok());
    lvpc = scan(Privacy);
    ASSERT_EQ(captions(lvpc), (std::vector<std::string>{"a.lnk"}));
    repair(removepc, lvpc);
    EXPECT_FALSE(std::filesystem::exists(prefix->driveC() / "users/me/Recent/a.lnk"));
    EXPECT_TRUE(std::filesystem::exists(prefix->driveC() / "users/me/Recent/B.LNK"));
}

TEST_F(Scanners, ObsoleteSoftwareIsEmptyKeysDirectlyUnderSoftware) {
    open("\n[Software\\\\Empty] 1\n\n[Software\\\\Full] 1\n\"v\"=\"1\"\n"
         "\n[Software\\\\Parent\\\\Empty] 1\n"
         "\n[Software\\\\Wow6432Node] 1\n#link\n\"SymbolicLinkValue\"=hex(6):5c,00\n",
         "\n[Software\\\\Empty] 1\n\n[Software\\\\Default] 1\n@=\"\"\n");
    ResultList lvos = scan(Obsolete);
    std::vector<std::string> rows;
    for (const auto& r : lvos.rows())
        rows.push_back(r.caption + "@" + r.subitem(2));
    EXPECT_EQ(rows, (std::vector<std::string>{"Empty@HKCU\\Software\\", "Empty@HKLM\\Software\\"}));
    lvos.rows()[0].checked = false;
    repair(removeos, lvos);
    reload();
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, "Software\\Empty"));
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Empty"));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Wow6432Node"));
}

TEST(IgnoreLists, SurviveARestartLineForLine) {
    auto dir = test::makeTempDir("kestrane-ignore") / "Kestrane Pro";  // created on first use
    {
        IgnoreLists lists(dir);
        lists.load({"sp", "ue", "pc", "fe", "ax"});
        ASSERT_TRUE(lists.ignore("sp", "Acme Update", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run").ok());
        ASSERT_TRUE(lists.ignore("sp", "a=b", "HKCU\\Run").ok());
        ASSERT_TRUE(lists.ignore("ue", "MyApp", "HKLM\\x").ok());
    }
    EXPECT_EQ(test::readFile(dir / "Datasp.dat"),
              "Acme Update=HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\na=b=HKCU\\Run\r\n");
    test::writeFile(dir / "Dataax.dat", "no separator\r\n\r\nlast=one\r\n");
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "key" + std::to_string(i) + "=loc\r\n";
    test::writeFile(dir / "Datafe.dat", many);
    IgnoreLists lists(dir);
    lists.load({"sp", "ue", "pc", "fe", "ax"});
    ASSERT_EQ(lists.entries("sp").size(), 2u);
    EXPECT_EQ(lists.entries("sp")[1].value, "a");  // a caption with "=" no longer matches itself
    EXPECT_EQ(lists.entries("sp")[1].location, "b");
    EXPECT_TRUE(lists.ignored("ue", "MyApp"));
    EXPECT_FALSE(lists.ignored("ue", "myapp"));
    EXPECT_FALSE(lists.ignored("sp", "MyApp"));
    ASSERT_EQ(lists.entries("ax").size(), 2u);
    EXPECT_EQ(lists.entries("ax")[0].location, "");
    EXPECT_TRUE(lists.ignored("ax", "last"));
    EXPECT_EQ(lists.entries("fe").size(), 60u);
    std::filesystem::remove_all(dir.parent_path());
}
