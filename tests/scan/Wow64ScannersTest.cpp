// The registry categories on the 32-bit half of a 64-bit prefix: the entries
// of 32-bit programs are examined as those programs see the files, their
// rows name the key of the 32-bit view, and the repair deletes there only.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Registry.h"
#include "results/MainWindowModel.h"
#include "scan/apps/ApplicationScanners.h"
#include "scan/registry/RegistryScanners.h"
#include "support/PrefixFixture.h"
#include "support/Recorders.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

using reg::Root;
using Strings = std::vector<std::string>;

// The machine's folders as a 64-bit Wine prefix has them, the 32-bit
// program-files folder among them, and a link of the 32-bit view as Wine
// writes it.
const std::string kMachine =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"CommonFilesDir (x86)\"=\"C:\\\\Program Files (x86)\\\\Common Files\"\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\n"
    "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n"
    "\n[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n"
    "\"PATH\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%\"\n"
    "\n[Software\\\\Wow6432Node\\\\Classes] 1\n#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00\n";

const std::string kRun = "Microsoft\\\\Windows\\\\CurrentVersion\\\\Run";
const std::string kUninstall = "Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall";

class Wow64Scanners : public PrefixTest {
protected:
    // A prefix with the architecture given, these machine keys and user keys,
    // and the files 32-bit and 64-bit programs leave.
    void open(const std::string& system, const std::string& user = "", const std::string& arch = "win64") {
        const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\";
        prefix = std::make_unique<TempPrefix>(head + "Machine\n\n#arch=" + arch + "\n" + kMachine + system,
                                              head + "User\\\\S-1-5-21-0-0-0-1000\n\n#arch=" + arch + "\n" + user);
        for (const char* f : {"drive_c/windows/syswow64/x32only.dll", "drive_c/windows/syswow64/tool32.exe",
                              "drive_c/windows/system32/only64.dll", "drive_c/windows/system32/only64.exe",
                              "drive_c/windows/system32/notepad.exe", "drive_c/windows/system32/drivers/etc/hosts",
                              "drive_c/Program Files (x86)/Kept/kept.exe", "drive_c/Program Files (x86)/Kept/kept32.dll"})
            prefix->write(f, "MZ");
        for (const char* folder : {"drive_c/Program Files/Common Files", "drive_c/Program Files (x86)/Common Files"})
            std::filesystem::create_directories(prefix->path() / folder);
        reload();
    }
    Strings rows(const ResultList& list, std::size_t locationColumn) {
        Strings out;
        for (const auto& r : list.rows()) out.push_back(r.caption + " @ " + r.subitem(locationColumn));
        return out;
    }
};

TEST_F(Wow64Scanners, StartupReadsThe32BitRunKeyAsA32BitProgramStartsIt) {
    const std::string run32 = "\n[Software\\\\Wow6432Node\\\\" + kRun + "] 1\n";
    open("\n[Software\\\\" + kRun + "] 1\n"
         "\"GoneTool\"=\"C:\\\\windows\\\\system32\\\\notepad.exe\"\n"     // same name, a program that exists
         "\"Native64\"=\"C:\\\\windows\\\\system32\\\\only64.exe\"\n" +
         run32 +
         "\"GoneTool\"=\"\\\"C:\\\\Program Files (x86)\\\\Gone\\\\gone.exe\\\" /background\"\n"
         "\"KeptTool\"=\"C:\\\\Program Files (x86)\\\\Kept\\\\kept.exe\"\n"
         "\"InSysWow\"=\"C:\\\\windows\\\\system32\\\\tool32.exe -q\"\n"   // system32 is syswow64 to it
         "\"OnPath\"=\"tool32 /min\"\n"                                      // found on the search path
         "\"Only64\"=\"C:\\\\windows\\\\system32\\\\only64.exe\"\n");        // a 32-bit program cannot reach it
    ResultList lvsp = scan(Startup);
    const std::string loc32 = "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_EQ(rows(lvsp, 2), (Strings{"GoneTool @ " + loc32, "Only64 @ " + loc32}));
    EXPECT_EQ(lvsp.rows()[0].subitem(1), "\"C:\\Program Files (x86)\\Gone\\gone.exe\" /background");
    // Still four ramps: the 32-bit key is read with the machine's.
    EXPECT_EQ(pacer.positions.size(), 31u + 31u + 21u + 21u);

    // The repair of the 32-bit GoneTool leaves the 64-bit value of that name.
    lvsp.rows()[1].checked = false;
    repair(removesp, lvsp);
    reload();
    EXPECT_FALSE(has(Root::LocalMachine, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", "GoneTool"));
    EXPECT_TRUE(has(Root::LocalMachine, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", "Only64"));
    EXPECT_TRUE(has(Root::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "GoneTool"));
    EXPECT_EQ(rows(scan(Startup), 2), Strings{"Only64 @ " + loc32});
}

TEST_F(Wow64Scanners, UninstallEntriesOfBothViewsNativeFirst) {
    const std::string native = "\n[Software\\\\" + kUninstall + "\\\\";
    const std::string view32 = "\n[Software\\\\Wow6432Node\\\\" + kUninstall + "\\\\";
    open(native + "Broken64] 1\n\"Publisher\"=\"x\"\n" + native + "GoneApp] 1\n\"DisplayName\"=\"Native app\"\n" +
         view32 + "GoneApp] 1\n\"Publisher\"=\"Gone Software Ltd\"\n" + view32 +
         "KeptApp] 1\n\"DisplayName\"=\"Kept Application 1.0\"\n");
    ResultList lvue = scan(Uninstall);
    ASSERT_EQ(rows(lvue, 2),
              (Strings{"Broken64 @ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Broken64",
                       "GoneApp @ HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GoneApp"}));
    lvue.rows()[0].checked = false;
    repair(removeue, lvue);
    reload();
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Wow6432Node\\" + std::string(
        "Microsoft\\Windows\\CurrentVersion\\Uninstall\\GoneApp")));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GoneApp"));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Broken64"));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine,
                                 "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KeptApp"));
}

TEST_F(Wow64Scanners, ClassesOfThe32BitViewWithItsFoldersAndFiles) {
    auto server = [](const std::string& classes, const std::string& clsid, const std::string& path) {
        return "\n[Software\\\\Classes\\\\" + classes + "CLSID\\\\" + clsid + "\\\\InprocServer32] 1\n@=\"" + path +
               "\"\n";
    };
    open(server("", "{A01}", "C:\\\\windows\\\\system32\\\\only64.dll") +         // present for 64-bit programs
         server("", "{A02}", "C:\\\\windows\\\\system32\\\\x32only.dll") +         // only in syswow64
         server("Wow6432Node\\\\", "{A01}", "C:\\\\Program Files (x86)\\\\Gone\\\\gone32.dll") +
         server("Wow6432Node\\\\", "{A02}", "C:\\\\windows\\\\system32\\\\x32only.dll") +
         server("Wow6432Node\\\\", "{A03}", "%ProgramFiles%\\\\Kept\\\\kept32.dll") +  // the 32-bit folder
         server("Wow6432Node\\\\", "{A04}", "x32only.dll") +                            // bare: system32 of 32 bits
         server("Wow6432Node\\\\", "{A05}", "C:\\\\windows\\\\system32\\\\only64.dll"));
    ResultList lvax = scan(ActiveX);
    ASSERT_EQ(rows(lvax, 2), (Strings{"C:\\windows\\system32\\x32only.dll @ HKCR\\CLSID",
                                      "C:\\Program Files (x86)\\Gone\\gone32.dll @ HKCR\\Wow6432Node\\CLSID",
                                      "C:\\windows\\system32\\only64.dll @ HKCR\\Wow6432Node\\CLSID"}));
    EXPECT_EQ(lvax.rows()[1].subitem(1), "{A01}");
    lvax.rows()[0].checked = false;
    repair(removeax, lvax);
    reload();
    EXPECT_FALSE(store->keyExists(Root::ClassesRoot, "Wow6432Node\\CLSID\\{A01}"));
    EXPECT_FALSE(store->keyExists(Root::ClassesRoot, "Wow6432Node\\CLSID\\{A05}"));
    EXPECT_TRUE(store->keyExists(Root::ClassesRoot, "CLSID\\{A01}\\InprocServer32"));  // the 64-bit class of that name
    EXPECT_TRUE(store->keyExists(Root::ClassesRoot, "Wow6432Node\\CLSID\\{A02}\\InprocServer32"));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Wow6432Node\\Classes"));  // the link untouched
}

TEST_F(Wow64Scanners, ProgressiveAnalysisTestsThe32BitViewsFilesAsItsProgramsSeeThem) {
    open("\n[Software\\\\Vendor] 1\n\"lib\"=\"C:\\\\windows\\\\system32\\\\x32only.dll\"\n"
         "\n[Software\\\\Wow6432Node\\\\Vendor\\\\App] 1\n"
         "\"lib\"=\"C:\\\\windows\\\\system32\\\\x32only.dll\"\n"
         "\"hosts\"=\"C:\\\\windows\\\\system32\\\\drivers\\\\etc\\\\hosts\"\n"
         "\"gone\"=\"C:\\\\windows\\\\system32\\\\gone32.dll\"\n"
         "\"only64\"=\"C:\\\\windows\\\\system32\\\\only64.dll\"\n"
         "\"program\"=\"C:\\\\Program Files (x86)\\\\Kept\\\\kept.exe\"\n"
         // The classes of the 32-bit view too; the native classes are native.
         "\n[Software\\\\Classes\\\\Wow6432Node\\\\Kept32] 1\n\"lib\"=\"C:\\\\windows\\\\system32\\\\x32only.dll\"\n"
         "\n[Software\\\\Classes\\\\Native] 1\n\"lib\"=\"C:\\\\windows\\\\system32\\\\x32only.dll\"\n");
    ResultList LV2 = scan(Deep);
    Strings found;
    for (const auto& r : LV2.rows()) found.push_back(r.caption + " @ " + r.subitem(2) + " " + r.subitem(1));
    EXPECT_EQ(found, (Strings{"C:\\windows\\system32\\x32only.dll @ HKLM\\SOFTWARE\\Classes\\Native lib",
                              "C:\\windows\\system32\\x32only.dll @ HKLM\\SOFTWARE\\Vendor lib",
                              "C:\\windows\\system32\\gone32.dll @ HKLM\\SOFTWARE\\Wow6432Node\\Vendor\\App gone",
                              "C:\\windows\\system32\\only64.dll @ HKLM\\SOFTWARE\\Wow6432Node\\Vendor\\App only64"}));
}

TEST_F(Wow64Scanners, ObsoleteSoftwareOfThe32BitViewNeverItsOwnKey) {
    open("\n[Software\\\\Empty] 1\n\n[Software\\\\Wow6432Node\\\\Empty] 1\n"
         "\n[Software\\\\Wow6432Node\\\\Full] 1\n\"v\"=\"1\"\n");
    ResultList lvos = scan(Obsolete);
    ASSERT_EQ(rows(lvos, 2), (Strings{"Empty @ HKLM\\Software\\", "Empty @ HKLM\\Software\\Wow6432Node\\"}));
    lvos.rows()[0].checked = false;
    repair(removeos, lvos);
    reload();
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Empty"));
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Wow6432Node\\Empty"));

    // An empty 32-bit view is not an empty key of the native one.
    open("\n[Software\\\\Wow6432Node] 1\n");
    EXPECT_EQ(scan(Obsolete).count(), 0u);
}

TEST_F(Wow64Scanners, ApplicationListsAndPresenceInBothViews) {
    open("\n[Software\\\\SpeedBit\\\\Download Accelerator\\\\FileList] 1\n\"a\"=\"C:\\\\dl\\\\a.zip\"\n"
         "\n[Software\\\\Wow6432Node\\\\SpeedBit\\\\Download Accelerator\\\\FileList] 1\n\"b\"=\"C:\\\\dl\\\\b.zip\"\n"
         "\n[Software\\\\Wow6432Node\\\\Mozilla] 1\n");
    ResultList lvdap = scan(dap);
    ASSERT_EQ(rows(lvdap, 0), (Strings{"a @ HKLM\\SOFTWARE\\SpeedBit\\Download Accelerator\\FileList",
                                       "b @ HKLM\\SOFTWARE\\Wow6432Node\\SpeedBit\\Download Accelerator\\FileList"}));
    lvdap.rows()[0].checked = false;
    repair(removedap, lvdap);
    reload();
    EXPECT_TRUE(has(Root::LocalMachine, "Software\\SpeedBit\\Download Accelerator\\FileList", "a"));
    EXPECT_FALSE(has(Root::LocalMachine, "Software\\Wow6432Node\\SpeedBit\\Download Accelerator\\FileList", "b"));

    // Firefox's key only in the 32-bit view: the applications summary has its row.
    RecordingFrontend frontend;
    MainWindowModel model(*ctx, frontend, builtCategories());
    Strings apps;
    for (const auto& r : model.lvapply().rows()) apps.push_back(r.caption);
    EXPECT_NE(std::find(apps.begin(), apps.end(), "Mozilla Firefox"), apps.end());
}

TEST_F(Wow64Scanners, A32BitPrefixHasOneView) {
    const std::string wow = "\n[Software\\\\Wow6432Node\\\\";
    open(wow + kRun + "] 1\n\"GoneTool\"=\"C:\\\\Gone\\\\gone.exe\"\n" + wow + kUninstall +
             "\\\\GoneApp] 1\n\"Publisher\"=\"x\"\n" + wow + "Mozilla] 1\n" +
             "\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{A01}\\\\InprocServer32] 1\n@=\"C:\\\\gone.dll\"\n",
         "", "win32");
    EXPECT_EQ(ctx->wow64, nullptr);
    EXPECT_EQ(scan(Startup).count(), 0u);
    EXPECT_EQ(scan(Uninstall).count(), 0u);
    EXPECT_EQ(scan(ActiveX).count(), 0u);
    // A key named Wow6432Node is a key like any other there: the empty
    // Mozilla key below it is not directly under Software.
    EXPECT_EQ(scan(Obsolete).count(), 0u);
    RecordingFrontend frontend;
    MainWindowModel model(*ctx, frontend, builtCategories());
    for (const auto& r : model.lvapply().rows()) EXPECT_NE(r.caption, "Mozilla Firefox");
}

}  // namespace
}  // namespace kestrane::test
