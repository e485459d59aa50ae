// The backups view and the optimizer view of the main window: what the
// buttons ask of the registry backups, how the bar moves while they work,
// the rows and the messages.

#include <gtest/gtest.h>

#include "results/Backups.h"
#include "results/ModelFixture.h"

namespace kestrane::test {
namespace {

using Strings = std::vector<std::string>;

// Registry backups that record what they were asked and answer as told.
class FakeBackups : public RegistryBackups {
public:
    std::vector<BackupRow> listed;
    Result<BackupRow> nextBackup = BackupRow{"Backup_9-5-7_3-12-2024.reg", "12/3/2024", "9:05:07 AM"};
    std::optional<int> server;
    Status restoreResult;
    std::function<void()> restoring;  // what the restore does to the registry
    Strings calls;
    std::vector<int> progressWhileRunning;  // the bar's position after each whileRunning
    ScanContext* ctx = nullptr;

    std::vector<BackupRow> list() override {
        calls.push_back("list");
        return listed;
    }
    Result<BackupRow> create(const std::function<void()>& whileRunning) override {
        calls.push_back("create");
        whileRunning();
        progressWhileRunning.push_back(ctx->progress);
        return nextBackup;
    }
    std::optional<int> wineServer() override { return server; }
    Status restore(const std::string& file, const std::function<void()>& whileRunning) override {
        calls.push_back("restore " + file);
        if (restoring) restoring();
        whileRunning();
        progressWhileRunning.push_back(ctx->progress);
        return restoreResult;
    }
    Status startRestore(const std::string& file) override {
        calls.push_back("start " + file);
        return {};
    }
    Status remove(const std::string& file) override {
        calls.push_back("remove " + file);
        return makeError(ErrorKind::Failure, "gone already");
    }
};

struct BackupsHarness : ModelHarness {
    FakeBackups backups;
    MainWindowModel* m = nullptr;

    BackupsHarness() {
        backups.ctx = &ctx;
        backups.listed = {{"Backup_0-0-0_1-1-2025.reg", "1/1/2025", "12:00:00 AM"},
                          {"Backup_1-2-3_2-1-2025.reg", "1/2/2025", "1:02:03 AM"}};
        ctx.backups = &backups;
        m = &make(computerCategories(log));
        m->CB1Categories1Items0Click();
        pacer.clear();
        backups.calls.clear();
    }
    Strings files() const {
        Strings out;
        for (const auto& row : m->LVbackup().rows()) out.push_back(row.caption);
        return out;
    }
};

TEST(BackupsView, OpensOnTheBackupsFolderAndItsDates) {
    BackupsHarness h;
    for (auto control : {"LVbackup", "OBbackup", "OBrestorebackup", "OBdeletebackup"})
        EXPECT_TRUE(h.m->shown(control)) << control;
    EXPECT_FALSE(h.m->shown("lvall"));
    ASSERT_EQ(h.files(), (Strings{"Backup_0-0-0_1-1-2025.reg", "Backup_1-2-3_2-1-2025.reg"}));
    EXPECT_EQ(h.m->LVbackup().rows()[1].subitems, (Strings{"1/2/2025", "1:02:03 AM"}));
    EXPECT_FALSE(h.m->LVbackup().rows()[0].checked);
    // Opened again: listed afresh, not appended.
    h.m->CB1Categories1Items0Click();
    EXPECT_EQ(h.files().size(), 2u);
}

TEST(BackupsView, ABackupMovesTheBarWhileItRunsAndAddsItsRowAfter) {
    BackupsHarness h;
    h.m->OBbackupClick();
    EXPECT_EQ(h.backups.calls, Strings{"create"});
    // 0..70 while the registry editor exports, 70..100 once it is done, at 150 ms a step.
    ASSERT_EQ(h.backups.progressWhileRunning, std::vector<int>{70});
    ASSERT_EQ(h.pacer.positions.size(), 71u + 31u);
    EXPECT_EQ(h.pacer.positions.front(), 0);
    EXPECT_EQ(h.pacer.positions[70], 70);
    EXPECT_EQ(h.pacer.positions[71], 70);
    EXPECT_EQ(h.pacer.positions.back(), 100);
    for (int pause : h.pacer.pauses) EXPECT_EQ(pause, 150);
    EXPECT_EQ(h.files().back(), "Backup_9-5-7_3-12-2024.reg");
    EXPECT_EQ(h.m->LVbackup().rows().back().subitems, (Strings{"12/3/2024", "9:05:07 AM"}));
    EXPECT_EQ(h.m->progress(), 0);
    EXPECT_TRUE(h.frontend.errors.empty());
}

TEST(BackupsView, AFailedBackupSaysWhyAndAddsNoRow) {
    BackupsHarness h;
    h.backups.nextBackup = makeError(ErrorKind::Failure, "regedit exited with 1");
    h.m->OBbackupClick();
    EXPECT_EQ(h.files().size(), 2u);
    EXPECT_EQ(h.pacer.positions.size(), 71u);  // no 70..100 after a failure
    EXPECT_EQ(h.m->progress(), 0);
    ASSERT_EQ(h.frontend.errors.size(), 1u);
    EXPECT_EQ(h.frontend.errors[0], "The registry backup failed: regedit exited with 1");
    // Repair all's backup is the same action: it fails the same way.
    EXPECT_TRUE(h.m->backupAvailable());
}

TEST(BackupsView, RestoreAndDeleteNeedASelectedRow) {
    BackupsHarness h;
    h.m->OBrestorebackupClick(std::nullopt);
    h.m->OBdeletebackupClick(std::nullopt);
    h.m->OBrestorebackupClick(2);  // past the last row
    h.m->OBdeletebackupClick(-1);
    EXPECT_EQ(h.frontend.shownMessages, Strings(4, "Please select backup file"));
    EXPECT_TRUE(h.backups.calls.empty());
    EXPECT_EQ(h.files().size(), 2u);
    EXPECT_TRUE(h.pacer.positions.empty());
}

TEST(BackupsView, RestoreLetsTheEditorComeAboveAndWaitsForIt) {
    BackupsHarness h;
    writeSetting(*h.store, "alwaysontop", "1");
    h.m->OBrestorebackupClick(1);
    EXPECT_EQ(h.backups.calls, Strings{"restore Backup_1-2-3_2-1-2025.reg"});
    EXPECT_EQ(h.backups.progressWhileRunning, std::vector<int>{100});
    EXPECT_EQ(h.pacer.positions.size(), 101u);
    for (int pause : h.pacer.pauses) EXPECT_EQ(pause, 150);
    EXPECT_EQ(h.frontend.topmost, (std::vector<bool>{false, true}));  // back on top as the setting says
    EXPECT_EQ(h.m->progress(), 0);
    EXPECT_TRUE(h.frontend.errors.empty());
    EXPECT_EQ(h.files().size(), 2u);  // the list is not changed by a restore

    // Not always on top: left out of the topmost layer. A failure is shown.
    BackupsHarness off;
    writeSetting(*off.store, "alwaysontop", "0");
    off.backups.restoreResult = makeError(ErrorKind::Failure, "not a registry export");
    off.m->OBrestorebackupClick(0);
    EXPECT_EQ(off.frontend.topmost, (std::vector<bool>{false, false}));
    EXPECT_EQ(off.frontend.errors, Strings{"The backup was not restored: not a registry export"});
}

TEST(BackupsView, ARestoredRegistryIsScannedAnew) {
    BackupsHarness h;
    const Category* startup = h.m->category("Startup");
    ASSERT_NE(startup, nullptr);
    h.log.findings["Startup"] = 2;
    h.m->completeScan();  // every view scanned, counts in the summary
    ASSERT_TRUE(h.m->scanned("Startup"));
    ASSERT_EQ(h.count(1), "2");

    // A failed restore leaves everything as it was.
    h.backups.restoreResult = makeError(ErrorKind::Failure, "not a registry export");
    h.m->OBrestorebackupClick(0);
    EXPECT_TRUE(h.m->scanned("Startup"));
    EXPECT_EQ(h.frontend.reloads, 0);

    // After a restore nothing found in the registry of before is shown: the
    // view scans the restored registry when it next opens.
    h.backups.restoreResult = {};
    h.log.findings["Startup"] = 1;
    h.m->OBrestorebackupClick(0);
    EXPECT_EQ(h.frontend.reloads, 1);
    EXPECT_FALSE(h.m->scanned("Startup"));
    EXPECT_EQ(h.m->list("lvsp")->count(), 0u);
    EXPECT_EQ(h.count(1), "0");
    EXPECT_EQ(h.m->lvall().count(), 21u);
    h.log.calls.clear();
    h.m->openView(*startup);
    EXPECT_EQ(h.log.calls, Strings{"scan:Startup"});
    EXPECT_EQ(h.m->list("lvsp")->count(), 1u);

    // A backup of the prefix when it called itself Vista: the restore was a
    // waited one, and its registry is scanned anew all the same.
    h.backups.restoring = [&] {
        reg::regWriteString(*h.store, reg::Root::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                            "ProductName", "Windows Vista (TM) Home Basic");
    };
    h.m->OBrestorebackupClick(0);
    EXPECT_EQ(h.frontend.reloads, 2);
    EXPECT_FALSE(h.m->scanned("Startup"));
}

TEST(BackupsView, NothingIsRestoredWhileWineRunsOnThePrefix) {
    BackupsHarness h;
    h.backups.server = 4242;
    h.m->OBrestorebackupClick(0);
    EXPECT_TRUE(h.backups.calls.empty());
    EXPECT_TRUE(h.frontend.topmost.empty());
    ASSERT_EQ(h.frontend.errors.size(), 1u);
    EXPECT_NE(h.frontend.errors[0].find("4242"), std::string::npos);
    EXPECT_NE(h.frontend.errors[0].find("nothing was changed"), std::string::npos);
}

TEST(BackupsView, OnVistaTheRestoreIsStartedAndLeftToTheUser) {
    BackupsHarness h;
    reg::regWriteString(*h.store, reg::Root::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                        "ProductName", "Windows VISTA Business");
    h.m->OBrestorebackupClick(0);
    EXPECT_EQ(h.backups.calls, Strings{"start Backup_0-0-0_1-1-2025.reg"});
    EXPECT_TRUE(h.pacer.positions.empty());  // no waiting, no bar
}

TEST(BackupsView, DeleteTakesTheRowWhateverBecameOfTheFile) {
    BackupsHarness h;
    h.m->OBdeletebackupClick(0);
    EXPECT_EQ(h.backups.calls, Strings{"remove Backup_0-0-0_1-1-2025.reg"});
    EXPECT_EQ(h.files(), Strings{"Backup_1-2-3_2-1-2025.reg"});
    EXPECT_EQ(h.pacer.positions.size(), 101u);
    for (int pause : h.pacer.pauses) EXPECT_EQ(pause, 50);
    EXPECT_EQ(h.m->progress(), 0);
}

TEST(OptimizerView, ShowsItsPanelAndRunsTheWalkBetweenItsStatusTexts) {
    ModelHarness h;
    std::vector<std::string> seen;
    h.ctx.optimize = [&](ScanContext&, OptimizerPanel& panel) {
        seen.push_back(h.model->status());
        panel.hivetext = "walked";
    };
    auto& m = h.make(computerCategories(h.log));
    m.CB1Categories1Items3Click();
    for (auto control : {"Panel4", "OBhelp", "OBoptimize"}) EXPECT_TRUE(m.shown(control)) << control;
    EXPECT_FALSE(m.optimizer().labelsShown);
    m.OBoptimizeClick();
    EXPECT_EQ(seen, Strings{"  Status : Running Optimizer"});
    EXPECT_EQ(m.optimizer().hivetext, "walked");
    EXPECT_EQ(m.status(), "  Status : Optimizing System Complete");
}

}  // namespace
}  // namespace kestrane::test
