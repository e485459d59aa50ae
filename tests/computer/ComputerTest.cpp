// Everything one run works on, opened without a window: which prefix, what
// opening it gives (or why it cannot be opened), the Windows names of host
// folders, the settings and the run-at-logon entry, and the model's panels.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Registry.h"
#include "computer/Computer.h"
#include "results/ModelFixture.h"
#include "results/Settings.h"
#include "support/EnvGuard.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;

const std::string kSystem =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n";

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

using Env = test::EnvGuard;

TEST(ChoosePrefix, TheOptionThenWineprefixThenTheHomeFolder) {
    Env wine("WINEPREFIX", "/from/env");
    Env home("HOME", "/home/someone");
    EXPECT_EQ(choosePrefix({.prefix = "/given"}).value(), fs::path("/given"));
    EXPECT_EQ(choosePrefix({}).value(), fs::path("/from/env"));
    {
        Env noWine("WINEPREFIX", "");
        EXPECT_EQ(choosePrefix({}).value(), fs::path("/home/someone/.wine"));
        Env noHome("HOME", std::nullopt);
        auto none = choosePrefix({});
        ASSERT_FALSE(none.ok());
        EXPECT_EQ(none.error().kind, ErrorKind::NotFound);
        EXPECT_NE(none.error().message.find("--prefix"), std::string::npos);
    }
}

TEST(ChoosePrefix, TheDemoPrefixIsMadeOnFirstUse) {
    const fs::path data = makeTempDir("kestrane-demo-data");
    Env xdg("XDG_DATA_HOME", data.string());
    auto made = choosePrefix({.prefix = "", .demo = true});
    ASSERT_TRUE(made.ok()) << made.error().message;
    EXPECT_EQ(made.value(), data / "kestrane" / "demo-prefix");
    EXPECT_TRUE(fs::exists(made.value() / "system.reg"));
    NoPacer pacer;
    auto opened = Computer::open(made.value(), pacer);
    ASSERT_TRUE(opened.ok()) << opened.error().message;
    EXPECT_FALSE(opened.value()->folders().programFiles.empty());
    fs::remove_all(data);
}

TEST(Computer, AMissingOrMalformedPrefixIsAnErrorThatNamesIt) {
    NoPacer pacer;
    auto missing = Computer::open("/nonexistent/kestrane-prefix", pacer);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
    EXPECT_EQ(missing.error().message, "the prefix /nonexistent/kestrane-prefix does not exist");

    TempPrefix broken("\n[Software\\\\Broken 1\n", "");
    auto bad = Computer::open(broken.path(), pacer);
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.error().message.find(broken.path().string()), std::string::npos) << bad.error().message;
    EXPECT_NE(bad.error().message.find("system.reg"), std::string::npos) << bad.error().message;
}

TEST(Computer, OpensWithItsFoldersIgnoreListsAndContext) {
    TempPrefix prefix(kSystem, "");
    prefix.write("drive_c/Program Files/Kestrane Pro/Datasp.dat", "Acme Update=HKCU\\Run\r\n");
    NoPacer pacer;
    auto opened = Computer::open(prefix.path(), pacer);
    ASSERT_TRUE(opened.ok()) << opened.error().message;
    Computer& c = *opened.value();
    EXPECT_EQ(c.prefix(), prefix.path());
    EXPECT_EQ(c.folders().programFiles, "C:\\Program Files");
    EXPECT_EQ(c.folders().systemDriveRoot, "C:\\");
    ScanContext& ctx = c.context();
    EXPECT_EQ(&ctx.store, &c.store());
    EXPECT_EQ(&ctx.pacer, &pacer);
    ASSERT_NE(ctx.probe, nullptr);
    EXPECT_EQ(ctx.probe->probe("C:\\missing\\gone.exe"), 1);
    EXPECT_TRUE(ctx.isIgnored("sp", "Acme Update"));
    EXPECT_FALSE(ctx.isIgnored("ue", "Acme Update"));
    // Ignoring goes through the same lists and their file.
    ASSERT_TRUE(ctx.ignore("ue", "Old App", "HKLM\\Uninstall").ok());
    EXPECT_TRUE(ctx.isIgnored("ue", "Old App"));
    EXPECT_EQ(readFile(prefix.driveC() / "Program Files/Kestrane Pro/Dataue.dat"), "Old App=HKLM\\Uninstall\r\n");

    EXPECT_FALSE(fs::exists(prefix.driveC() / "Program Files/Kestrane Professional"));
    c.createProgramFolders();
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "Program Files/Kestrane Professional/Backups"));
    EXPECT_TRUE(fs::is_directory(prefix.driveC() / "Program Files/Kestrane Professional/startbug"));
    EXPECT_FALSE(c.wineServer().has_value());
}

TEST(Computer, WindowsNamesOfHostFolders) {
    TempPrefix prefix(kSystem, "");
    NoPacer pacer;
    auto outside = Computer::open(prefix.path(), pacer);
    ASSERT_TRUE(outside.ok());
    // No drive holds it: Wine's own name for a path outside every drive.
    EXPECT_EQ(outside.value()->windowsPath("/usr/bin"), "\\\\?\\unix\\usr\\bin");
    EXPECT_EQ(outside.value()->windowsPath(prefix.driveC() / "Program Files" / "App"), "C:\\Program Files\\App");
    EXPECT_EQ(outside.value()->windowsPath(prefix.driveC()), "C:\\");

    // A z: drive for the whole file system, as wineboot makes it.
    fs::create_symlink("/", prefix.path() / "dosdevices" / "z:");
    auto both = Computer::open(prefix.path(), pacer);
    ASSERT_TRUE(both.ok());
    EXPECT_EQ(both.value()->windowsPath("/usr/bin"), "Z:\\usr\\bin");
    EXPECT_EQ(both.value()->windowsPath("/"), "Z:\\");
    // Inside drive_c, c: names it more closely than z: does.
    EXPECT_EQ(both.value()->windowsPath(prefix.driveC() / "windows" / ".." / "users"), "C:\\users");
}

TEST(Settings, OnlyOneAndZeroMeanAnything) {
    auto store = emptyStore();
    Settings s(*store);
    EXPECT_FALSE(s.stored("alwaysontop").has_value());
    writeSetting(*store, "alwaysontop", "1");
    writeSetting(*store, "autorepair", "0");
    writeSetting(*store, "autoclose", "yes");
    writeSetting(*store, "autobackup", " 1");
    EXPECT_EQ(s.stored("alwaysontop"), std::optional<bool>(true));
    EXPECT_EQ(s.stored("autorepair"), std::optional<bool>(false));
    EXPECT_FALSE(s.stored("autoclose").has_value());
    EXPECT_FALSE(s.stored("autobackup").has_value());
    EXPECT_EQ(s.text("autoclose"), "yes");

    s.store("autoclose", true);
    EXPECT_EQ(reg::regReadString(*store, reg::Root::CurrentUser, "Software\\KestranePro", "autoclose"), "1");
    s.store("alwaysontop", false);
    EXPECT_EQ(s.stored("alwaysontop"), std::optional<bool>(false));
    s.storeAutoscanDone();
    EXPECT_EQ(s.text("autoscan"), "0");
}

TEST(Settings, TheRunAtLogonEntry) {
    auto store = emptyStore();
    Settings s(*store);
    s.deleteRunAtLogon();  // no Run key: nothing happens
    EXPECT_FALSE(store->keyExists(reg::Root::CurrentUser, kRunKey));

    s.writeRunAtLogon("Z:\\opt\\kestrane");
    EXPECT_EQ(reg::regReadString(*store, reg::Root::CurrentUser, kRunKey, "KestranePro"),
              "Z:\\opt\\kestrane\\autostart.exe");
    s.writeRunAtLogon("C:\\");
    EXPECT_EQ(s.runAtLogon(), "C:\\autostart.exe");

    // Other programs' entries stay.
    reg::regWriteString(*store, reg::Root::CurrentUser, kRunKey, "Other", "other.exe");
    s.deleteRunAtLogon();
    EXPECT_EQ(s.runAtLogon(), "");
    EXPECT_EQ(reg::regReadString(*store, reg::Root::CurrentUser, kRunKey, "Other"), "other.exe");
}

TEST(Settings, AnEntryThatAlreadyReadsSoIsNotWrittenAgain) {
    TempPrefix prefix("", "");
    auto opened = reg::RegistryStore::openPrefix(prefix.path());
    ASSERT_TRUE(opened.ok());
    reg::RegistryStore& store = *opened.value();
    Settings s(store);
    s.writeRunAtLogon("C:\\app");
    ASSERT_TRUE(store.save().ok());
    EXPECT_FALSE(store.changed());
    s.writeRunAtLogon("C:\\app\\");
    EXPECT_FALSE(store.changed());
    s.writeRunAtLogon("C:\\moved");
    EXPECT_TRUE(store.changed());
}

TEST(MainWindowModelPanels, APanelHidesEveryViewAndStopsTheBadges) {
    ModelHarness h;
    h.log.findings["Startup"] = 2;
    auto& m = h.make({fakeCategory(h.log, "Startup", "lvsp", "Running While Startup", BadgeFamily::Registry)});
    m.openView(*m.category("Startup"));
    ASSERT_TRUE(m.Oberror().visible);
    ASSERT_TRUE(m.Oberror().blinking);

    m.showPanel({"panelabout", "OBhomepage", "OBproupdate"});
    EXPECT_EQ(m.shownControls(), (std::set<std::string>{"panelabout", "OBhomepage", "OBproupdate"}));
    for (const Badge& b : m.badges()) {
        EXPECT_FALSE(b.visible) << b.name;
        EXPECT_FALSE(b.blinking) << b.name;
    }
    m.OBscanpcClick();
    EXPECT_FALSE(m.shown("panelabout"));
    EXPECT_TRUE(m.shown("lvall"));
    m.showPanel({});
    EXPECT_TRUE(m.shownControls().empty());
}

}  // namespace
}  // namespace kestrane::test
