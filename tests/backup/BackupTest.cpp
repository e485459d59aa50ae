// Registry backups: their names, the backups folder with the program's own
// registry editor, and the optimizer's read-only walk.

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <sys/stat.h>

#include "backup/BackupFolder.h"
#include "backup/BackupNames.h"
#include "backup/Optimizer.h"
#include "platform/Registry.h"
#include "support/PrefixFixture.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;
using backup::NameDate;
using backup::readBackupName;
using reg::Root;

TEST(BackupNames, NamedAfterTheLocalTimeWithoutLeadingZeros) {
    EXPECT_EQ(backup::backupFileName({2025, 1, 1, 0, 0, 0}), "Backup_0-0-0_1-1-2025.reg");
    EXPECT_EQ(backup::backupFileName({2024, 12, 3, 9, 5, 7}), "Backup_9-5-7_3-12-2024.reg");
    EXPECT_EQ(backup::backupFileName({2026, 10, 31, 23, 59, 58}), "Backup_23-59-58_31-10-2026.reg");
}

TEST(BackupNames, ReadBackAsTheListingReadsThem) {
    NameDate midnight = readBackupName("Backup_0-0-0_1-1-2025.reg");
    ASSERT_TRUE(midnight.complete);
    EXPECT_EQ(midnight.date->year, 2025);
    EXPECT_EQ(midnight.time->hour, 0);
    // Not a backup's name: nothing read.
    NameDate mine = readBackupName("MyBackup.reg");
    EXPECT_FALSE(mine.complete);
    EXPECT_FALSE(mine.date);
    EXPECT_FALSE(mine.time);
    // Hour 25: the date is read, the time is not.
    NameDate late = readBackupName("Backup_25-0-0_1-1-2025.reg");
    EXPECT_FALSE(late.complete);
    ASSERT_TRUE(late.date);
    EXPECT_EQ(late.date->day, 1);
    EXPECT_FALSE(late.time);
    // Dates that do not exist, leap years, numbers that are no numbers.
    EXPECT_FALSE(readBackupName("Backup_1-2-3_31-2-2025.reg").date);
    EXPECT_FALSE(readBackupName("Backup_1-2-3_29-2-2025.reg").date);
    EXPECT_TRUE(readBackupName("Backup_1-2-3_29-2-2024.reg").complete);
    EXPECT_FALSE(readBackupName("Backup_1-2-x_1-1-2025.reg").time);
    EXPECT_FALSE(readBackupName("Backup_1-2-3_1-1-2025.REG").date);  // ".reg" is removed as written
    EXPECT_FALSE(readBackupName("Backup_1-2_1-1-2025.reg").time);
}

TEST(BackupNames, RegionalFormats) {
    backup::RegionalFormats us;
    const files::LocalTime t{2025, 1, 1, 0, 5, 7};
    EXPECT_EQ(backup::formatDate(us, t), "1/1/2025");
    EXPECT_EQ(backup::formatTime(us, t), "12:05:07 AM");
    EXPECT_EQ(backup::formatTime(us, {2025, 1, 1, 13, 0, 0}), "1:00:00 PM");
    backup::RegionalFormats de{.shortDate = "dd.MM.yyyy", .longTime = "HH:mm:ss", .am = "", .pm = ""};
    EXPECT_EQ(backup::formatDate(de, t), "01.01.2025");
    EXPECT_EQ(backup::formatTime(de, t), "00:05:07");
    backup::RegionalFormats quoted{.shortDate = "yy'y'M", .longTime = "H'h'm t", .am = "AM", .pm = "PM"};
    EXPECT_EQ(backup::formatDate(quoted, {2009, 3, 1}), "09y3");
    EXPECT_EQ(backup::formatTime(quoted, {2009, 3, 1, 14, 30, 0}), "14h30 P");
}

TEST(BackupNames, PlainFileNamesOnly) {
    EXPECT_TRUE(backup::plainFileName("Backup_1-2-3_1-1-2025.reg"));
    for (const char* bad : {"", ".", "..", "../x.reg", "/tmp/x.reg", "a\\b.reg", "sub/x.reg"})
        EXPECT_FALSE(backup::plainFileName(bad)) << bad;
}

// ---------------------------------------------------------------- the backups folder

class FixedClock : public files::Clock {
public:
    files::LocalTime t{2025, 1, 1, 0, 0, 0};
    files::LocalTime now() const override { return t; }
};

class Backups : public PrefixTest {
protected:
    void SetUp() override {
        open(R"(
[Software\\Microsoft\\Windows\\CurrentVersion] 1
"ProgramFilesDir"="C:\\Program Files"

[Software\\Vendor] 1
"multi"=hex(7):61,00,00,00,62,00
"odd"=hex(1):41
)",
             R"(
[Software\\Kept] 1
"Value"="original"
)");
    }
    backup::BackupFolder folder(fs::path regedit = KESTRANE_TEST_REGEDIT) {
        return backup::BackupFolder({.prefix = prefix->path(),
                                     .store = *store,
                                     .files = *files,
                                     .folder = "C:\\Program Files\\Kestrane Professional\\Backups",
                                     .regedit = std::move(regedit),
                                     .clock = &clock,
                                     .reloaded = [this] { ++reloads; }});
    }
    fs::path hostFolder() const { return prefix->driveC() / "Program Files/Kestrane Professional/Backups"; }

    FixedClock clock;
    int reloads = 0;
};

TEST_F(Backups, ABackupIsTheRegistryEditorsExportWaitedForAndChecked) {
    auto backups = folder();
    int ran = 0;
    auto made = backups.create([&] { ++ran; });
    ASSERT_TRUE(made.ok()) << made.error().message;
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(made.value().file, "Backup_0-0-0_1-1-2025.reg");
    EXPECT_EQ(made.value().date, "1/1/2025");
    EXPECT_EQ(made.value().time, "12:00:00 AM");
    const std::string bytes = readFile(hostFolder() / made.value().file);
    EXPECT_TRUE(backup::looksLikeRegistryExport(bytes));
    // Listed with the date and time its name gives; a name that gives none ends the list.
    clock.t.second = 1;
    ASSERT_TRUE(backups.create({}).ok());
    writeFile(hostFolder() / "Backup_25-0-0_1-1-2025.reg", "x");
    writeFile(hostFolder() / "MyBackup.reg", "x");  // after "Backup_..." in the listing
    auto rows = backups.list();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].file, "Backup_0-0-0_1-1-2025.reg");
    EXPECT_EQ(rows[1].file, "Backup_0-0-1_1-1-2025.reg");
    EXPECT_EQ(rows[2].file, "Backup_25-0-0_1-1-2025.reg");
    EXPECT_EQ(rows[2].date, "1/1/2025");
    EXPECT_EQ(rows[2].time, "");
}

TEST_F(Backups, TheSecondBackupOfASecondOverwritesNothing) {
    auto backups = folder();
    ASSERT_TRUE(backups.create({}).ok());
    const std::string first = readFile(hostFolder() / "Backup_0-0-0_1-1-2025.reg");
    ASSERT_TRUE(store->setValue(*store->createKey(Root::CurrentUser, "Software\\Kept"),
                                reg::Value::string("Value", "changed")));
    ASSERT_TRUE(store->save().ok());
    // The clock stands still here: the second backup gives up rather than overwrite.
    auto second = backups.create({});
    ASSERT_FALSE(second.ok());
    EXPECT_NE(second.error().message.find("exists already"), std::string::npos) << second.error().message;
    EXPECT_EQ(readFile(hostFolder() / "Backup_0-0-0_1-1-2025.reg"), first);
}

TEST_F(Backups, AFailedExportAddsNoBackup) {
    auto failing = folder("/bin/false");
    auto made = failing.create({});
    ASSERT_FALSE(made.ok());
    EXPECT_NE(made.error().message.find("exit status 1"), std::string::npos) << made.error().message;
    EXPECT_TRUE(failing.list().empty());
    // An editor that ends well but writes nothing is caught too.
    auto silent = folder("/bin/true");
    ASSERT_FALSE(silent.create({}).ok());
    EXPECT_TRUE(silent.list().empty());
    auto missing = folder("/nonexistent/regedit");
    ASSERT_FALSE(missing.create({}).ok());
    // Without an editor of the program's own nothing is started; a bare name
    // is never looked for in the backups folder, which lies in the prefix.
    auto none = folder("");
    auto notFound = none.create({});
    ASSERT_FALSE(notFound.ok());
    EXPECT_NE(notFound.error().message.find("registry editor was not found"), std::string::npos);
    auto planted = folder("regedit");
    auto host = planted.hostFolder();
    ASSERT_TRUE(host.ok());
    const std::filesystem::path trap = *host / "regedit";
    writeFile(trap, "#!/bin/sh\ntouch \"$0.ran\"\n");
    std::filesystem::permissions(trap, std::filesystem::perms::owner_all);
    EXPECT_FALSE(planted.create({}).ok());
    EXPECT_FALSE(planted.restore("Backup_0-0-0_1-1-2025.reg", {}).ok());
    EXPECT_FALSE(planted.startRestore("Backup_0-0-0_1-1-2025.reg").ok());
    EXPECT_FALSE(std::filesystem::exists(*host / "regedit.ran"));
}

TEST_F(Backups, ARestoreGivesBackTheSavedBytesAndReadsTheRegistryAgain) {
    auto backups = folder();
    auto made = backups.create({});
    ASSERT_TRUE(made.ok()) << made.error().message;
    const std::string before = readFile(prefix->systemReg());
    // The registry changes after the backup: a value and a value with
    // unusual bytes, which the repair never touches.
    {
        auto kept = store->openKey(Root::CurrentUser, "Software\\Kept", reg::KEY_ALL_ACCESS);
        ASSERT_TRUE(store->setValue(*kept, reg::Value::string("Value", "changed")));
        ASSERT_TRUE(store->deleteValue(*store->openKey(Root::LocalMachine, "Software\\Vendor", reg::KEY_ALL_ACCESS),
                                       "multi"));
        ASSERT_TRUE(store->save().ok());
    }
    int ran = 0;
    Status restored = backups.restore(made.value().file, [&] { ++ran; });
    ASSERT_TRUE(restored.ok()) << restored.error().message;
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(reloads, 1);
    // The store reads the restored data, the multi-string without its terminator as it was.
    EXPECT_EQ(reg::regReadString(*store, Root::CurrentUser, "Software\\Kept", "Value"), "original");
    auto vendor = store->openKey(Root::LocalMachine, "Software\\Vendor");
    ASSERT_TRUE(vendor.ok());
    EXPECT_EQ(store->queryValue(*vendor, "multi")->data, std::string("a\0\0\0b\0", 6));
    EXPECT_EQ(store->queryValue(*vendor, "odd")->data, "A");
    EXPECT_NE(readFile(prefix->systemReg()).find("\"multi\"=hex(7):61,00,00,00,62,00"), std::string::npos);
    (void)before;
}

TEST_F(Backups, RestoreAndDeleteTakeOnlyFilesOfTheFolder) {
    auto backups = folder();
    ASSERT_TRUE(backups.create({}).ok());
    writeFile(prefix->driveC() / "Program Files/Kestrane Professional/outside.reg", "x");
    for (const char* bad : {"../outside.reg", "/tmp/x.reg", ".."}) {
        EXPECT_EQ(backups.restore(bad, {}).error().kind, ErrorKind::NotFound) << bad;
        EXPECT_EQ(backups.remove(bad).error().kind, ErrorKind::NotFound) << bad;
    }
    EXPECT_EQ(backups.restore("NoSuch.reg", {}).error().kind, ErrorKind::NotFound);
    EXPECT_TRUE(fs::exists(prefix->driveC() / "Program Files/Kestrane Professional/outside.reg"));
    EXPECT_EQ(reloads, 0);
    ASSERT_TRUE(backups.remove("Backup_0-0-0_1-1-2025.reg").ok());
    EXPECT_FALSE(fs::exists(hostFolder() / "Backup_0-0-0_1-1-2025.reg"));
}

// ---------------------------------------------------------------- the optimizer

class Optimizer : public PrefixTest {
protected:
    void openWith(const std::string& product) {
        open(R"(
[Software\\Microsoft\\Windows NT\\CurrentVersion] 1
"ProductName"=")" + product + R"("

[Software\\Microsoft\\Windows\\CurrentVersion\\Run] 1
"Tool"="C:\\tool.exe"

[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe\\Deep] 1
"AtLevelFour"="not listed in the machine's pass"
)",
             R"(
[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Empty] 1

[Software\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop] 1
"ViewMode"=dword:00000001
)");
    }
};

TEST_F(Optimizer, WalksBothHivesAndEndsWithItsTexts) {
    openWith("Microsoft Windows 7");
    const auto systemTime = fs::last_write_time(prefix->systemReg());
    const std::string systemBytes = readFile(prefix->systemReg());
    const std::string userBytes = readFile(prefix->userReg());
    std::vector<std::string> labels;
    ctx->statusLabel = [&](const std::string& t) { labels.push_back(t); };
    OptimizerPanel panel;
    EXPECT_FALSE(panel.labelsShown);
    backup::optimize(*ctx, panel);
    EXPECT_EQ(labels, (std::vector<std::string>{"Current Hives: 1 of 2 - HKEY_CURRENT_USER",
                                                "Current Hives: 2 of 2 - HKEY_LOCAL_MACHINE", ""}));
    EXPECT_TRUE(panel.labelsShown);
    EXPECT_EQ(panel.hivetext, "Optimize Complete: Two Hives Completed");
    EXPECT_EQ(panel.labelnode, "");
    EXPECT_EQ(panel.labelvalues, "Scan Complete...");
    EXPECT_EQ(panel.PBHive.maximum, 10);
    EXPECT_EQ(panel.PBHive.position, 10);
    EXPECT_EQ(panel.PBNodes.position, 10);
    // Nothing was written, the files were not even touched.
    EXPECT_FALSE(store->changed());
    EXPECT_EQ(readFile(prefix->systemReg()), systemBytes);
    EXPECT_EQ(readFile(prefix->userReg()), userBytes);
    EXPECT_EQ(fs::last_write_time(prefix->systemReg()), systemTime);
}

TEST_F(Optimizer, ShowsEachKeyAndValueAsItPassesThem) {
    openWith("Microsoft Windows 7");
    struct Step {
        std::string node, values;
        int hive, hiveMax;
    };
    std::vector<Step> steps;
    OptimizerPanel panel;
    panel.stepped = [&](const OptimizerPanel& p) {
        steps.push_back({p.labelnode, p.labelvalues, p.PBHive.position, p.PBHive.maximum});
    };
    backup::optimize(*ctx, panel);
    auto shown = [&](const std::string& node) {
        return std::find_if(steps.begin(), steps.end(), [&](const Step& s) { return s.node == node; });
    };
    auto valueShown = [&](const std::string& name) {
        return std::any_of(steps.begin(), steps.end(), [&](const Step& s) { return s.values == name; });
    };
    // The user's hive: its fourth level lists its values too.
    ASSERT_NE(shown("HKCU\\SOFTWARE\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop"), steps.end());
    EXPECT_TRUE(valueShown("ViewMode"));
    // A key with neither subkeys nor values: its path, and the value name
    // shown before it stays.
    auto empty = shown("HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Empty");
    ASSERT_NE(empty, steps.end());
    EXPECT_EQ(empty->values, std::prev(empty)->values);
    // The machine's fourth level: the path is shown, its values are not read.
    ASSERT_NE(shown("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe\\Deep"), steps.end());
    EXPECT_FALSE(valueShown("AtLevelFour"));
    EXPECT_TRUE(valueShown("Tool"));  // level 3 of the machine's hive
    // The hive bar counts the keys of levels 1 and 2: CurrentVersion and
    // Shell below the user's start key.
    auto level1 = shown("HKCU\\SOFTWARE\\Microsoft\\Windows\\Shell");
    ASSERT_NE(level1, steps.end());
    EXPECT_EQ(level1->hiveMax, 1);
    EXPECT_EQ(level1->hive, 1);
}

TEST_F(Optimizer, VistaWalksTheUsersHiveOnlyYetEndsWithTheSameTexts) {
    openWith("Windows Vista (TM) Ultimate");
    std::vector<std::string> labels;
    ctx->statusLabel = [&](const std::string& t) { labels.push_back(t); };
    OptimizerPanel panel;
    backup::optimize(*ctx, panel);
    EXPECT_EQ(labels, (std::vector<std::string>{"Current Hives: 1 of 2 - HKEY_CURRENT_USER", ""}));
    EXPECT_EQ(panel.hivetext, "Optimize Complete: Two Hives Completed");
}

}  // namespace
}  // namespace kestrane::test
