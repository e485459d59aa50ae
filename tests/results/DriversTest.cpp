// The complete scan, repair all and the summary refresh, in computer and
// applications mode, with fake scan and repair actions.

#include <gtest/gtest.h>

#include "results/ModelFixture.h"

namespace kestrane::test {
namespace {

using Strings = std::vector<std::string>;

bool contains(const Strings& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

// Index of the first occurrence, or -1.
long indexOf(const Strings& list, const std::string& text) {
    auto it = std::find(list.begin(), list.end(), text);
    return it == list.end() ? -1 : it - list.begin();
}

TEST(CompleteScan, ComputerModeScansCheckedRowsInOrder) {
    ModelHarness h;
    h.log.findings = {{"Startup", 2}, {"helpfile", 3}, {"fontreg", 1}, {"VirtualDevice", 1}, {"Cookies", 4}};
    auto& m = h.make(computerCategories(h.log));
    m.lvall().rows()[3].checked = false;  // Unused Extensions
    m.OBall2Click();

    // Rows 1-19 in order; row 3 unchecked and row 20 unchecked at start.
    Strings expected;
    for (int row = 1; row <= 19; ++row)
        if (row != 3) expected.push_back("scan:" + scanOfRow(row));
    EXPECT_EQ(h.log.calls, expected);

    // Each category: its scanning text, the messages, the scan, its scanned text.
    EXPECT_EQ(h.frontend.messages.front(), "Status : Scanning Startup");
    EXPECT_EQ(h.frontend.messages.size(), expected.size() + 1);  // one more before the autorepair check
    long scanning = indexOf(h.frontend.statuses, "Status : Scanning Startup");
    ASSERT_GE(scanning, 0);
    EXPECT_EQ(h.frontend.statuses[static_cast<std::size_t>(scanning + 1)], "Status : Scanned Startup");
    EXPECT_EQ(h.frontend.statuses[static_cast<std::size_t>(scanning + 2)], "Status : Scanning Uninstall");
    EXPECT_FALSE(contains(h.frontend.statuses, "Status : Scanning FileExt"));
    EXPECT_EQ(m.status(), "Status : Complete Scan Your PC");
    EXPECT_EQ(h.frontend.messages.back(), "Status : Complete Scan Your PC");

    // Counts: the last count of each action; rows 5 and 6 always "0".
    EXPECT_EQ(h.count(0), "");
    EXPECT_EQ(h.count(1), "2");
    EXPECT_EQ(h.count(3), "0");
    EXPECT_EQ(h.count(5), "0");
    EXPECT_EQ(h.count(6), "0");
    EXPECT_EQ(h.count(7), "1");
    EXPECT_EQ(h.count(16), "4");
    EXPECT_EQ(h.count(20), "0");
    EXPECT_EQ(m.list("lvhelp")->count(), 3u);  // the list itself keeps its rows

    EXPECT_TRUE(m.scanned("Startup"));
    EXPECT_TRUE(m.scanned("advanced"));
    EXPECT_FALSE(m.scanned("FileExt"));
    EXPECT_FALSE(m.scanned("Deep"));

    // Totals: registry 2 + 1, privacy 4.
    EXPECT_EQ(m.obmainerror().caption, "3 Errors Found");
    EXPECT_EQ(m.obmainerror().colour, kColourRed);
    EXPECT_TRUE(m.obmainerror().blinking);
    EXPECT_TRUE(m.obmainerror().visible);
    EXPECT_EQ(m.obpriv().caption, "4 Privacy Threats Found");
    EXPECT_TRUE(m.obpriv().visible);
    EXPECT_FALSE(m.Oberror().visible);
    // No autorepair setting: nothing repaired.
    EXPECT_EQ(h.frontend.terminations, 0);
}

TEST(CompleteScan, AllRowsUncheckedOnlyResetsTheCounts) {
    ModelHarness h;
    auto& m = h.make(computerCategories(h.log));
    for (auto& row : m.lvall().rows())
        row.checked = false;
    m.lvall().rows()[4].subitems[0] = "9";
    m.OBall2Click();
    EXPECT_TRUE(h.log.calls.empty());
    EXPECT_EQ(h.count(4), "0");
    EXPECT_EQ(m.status(), "Status : Complete Scan Your PC");
    EXPECT_EQ(m.obpriv().caption, "No Privacy Threats Found");
    EXPECT_EQ(m.obpriv().colour, kColourBlack);
    EXPECT_FALSE(m.obpriv().blinking);
    EXPECT_EQ(m.obmainerror().caption, "No Errors Found");
    EXPECT_TRUE(m.obmainerror().visible);
}

TEST(CompleteScan, RowsWithoutACategorySkippedAndKeepZero) {
    ModelHarness h;
    h.log.findings = {{"Uninstall", 5}, {"clip", 5}};
    auto& m = h.make(computerCategories(h.log, {2, 12}));
    m.lvall().rows()[2].subitems[0] = "7";
    m.OBall2Click();
    EXPECT_FALSE(contains(h.log.calls, "scan:Uninstall"));
    EXPECT_FALSE(contains(h.log.calls, "scan:clip"));
    EXPECT_EQ(h.count(2), "0");
    EXPECT_EQ(h.count(12), "0");
    EXPECT_EQ(m.categoryOfRow(SummaryMode::Computer, 2), nullptr);
    EXPECT_NE(m.categoryOfRow(SummaryMode::Computer, 1), nullptr);
    EXPECT_EQ(m.categoryOfRow(SummaryMode::Computer, 0), nullptr);
}

TEST(CompleteScan, RecycleBinRowShowsTheItemCount) {
    ModelHarness h;
    auto table = computerCategories(h.log);
    for (auto& c : table)
        if (c.scan == "recycle") {
            c.countsRecycleBin = true;
            c.scanAction = [](ScanContext& ctx, ResultList& l) {
                l.add("3 files in Recycle Bin", {"Remove", "2.00 KB"});
                ctx.recycleCount = 3;
            };
        }
    auto& m = h.make(std::move(table));
    m.OBall2Click();
    EXPECT_EQ(h.count(10), "3");
    EXPECT_EQ(m.recycleCount(), 3);
    EXPECT_EQ(m.obpriv().caption, "3 Privacy Threats Found");
}

TEST(CompleteScan, ErrorInAnActionEndsTheScanThere) {
    ModelHarness h;
    h.log.findings = {{"Startup", 1}};
    auto table = computerCategories(h.log);
    for (auto& c : table)
        if (c.scan == "FileExt")
            c.scanAction = [](ScanContext&, ResultList&) { throw reg::RegistryError("Failed to set data"); };
    auto& m = h.make(std::move(table));
    m.OBall2Click();
    EXPECT_EQ(h.frontend.errors, Strings{"Failed to set data"});
    EXPECT_EQ(h.count(1), "1");
    EXPECT_FALSE(contains(h.log.calls, "scan:ActiveX"));
    EXPECT_EQ(m.status(), "Status : Scanning FileExt");
    EXPECT_FALSE(m.scanned("FileExt"));
}

TEST(RepairAll, RepairsCheckedRowsAndWritesTheLastCounts) {
    ModelHarness h;
    h.log.findings = {{"Startup", 3}, {"helpfile", 2}, {"Cookies", 2}, {"log", 1}};
    auto& m = h.make(computerCategories(h.log));
    m.OBall2Click();
    h.log.calls.clear();
    m.list("lvsp")->rows()[1].checked = false;  // keep one startup entry
    m.lvall().rows()[15].checked = false;       // do not repair the log files
    h.frontend.statuses.clear();
    m.OBall4Click();

    Strings expected;
    for (int row = 1; row <= 19; ++row) {
        if (row >= 5 && row <= 7) continue;  // no repair actions
        if (row == 15) continue;
        expected.push_back("repair:remove" + scanOfRow(row));
    }
    EXPECT_EQ(h.log.calls, expected);
    EXPECT_EQ(m.list("lvsp")->count(), 1u);
    EXPECT_FALSE(m.list("lvsp")->rows()[0].checked);
    EXPECT_EQ(m.list("lvsp")->rows()[0].caption, "Startup1");
    EXPECT_EQ(h.count(1), "1");
    EXPECT_EQ(h.count(16), "0");
    // The first step refreshed every count from its list, repaired or not.
    EXPECT_EQ(h.count(5), "2");
    EXPECT_EQ(h.count(15), "1");
    // Rows without a repair action still get both texts.
    long repairing = indexOf(h.frontend.statuses, "Status : Repairing helpfile");
    ASSERT_GE(repairing, 0);
    EXPECT_EQ(h.frontend.statuses[static_cast<std::size_t>(repairing + 1)], "Status : Repaired helpfile");
    EXPECT_FALSE(contains(h.frontend.statuses, "Status : Repairing log"));
    EXPECT_FALSE(contains(h.frontend.statuses, "Status : Backing up Registry"));
    EXPECT_EQ(m.status(), "Status : Repair Complete");
    EXPECT_EQ(m.obmainerror().caption, "3 Errors Found");  // 1 startup + 2 help files
    EXPECT_EQ(m.obpriv().caption, "1 Privacy Threats Found");
    EXPECT_TRUE(m.obpriv().visible);
    // A repair leaves the scanned flags set.
    EXPECT_TRUE(m.scanned("Startup"));
}

TEST(RepairAll, NothingFoundChangesNothing) {
    ModelHarness h;
    writeSetting(*h.store, "autobackup", "1");
    writeSetting(*h.store, "autoclose", "1");
    auto& m = h.make(computerCategories(h.log));
    int backups = 0;
    m.setBackupAction([&] {
        ++backups;
        return Status();
    });
    m.OBall2Click();
    ASSERT_TRUE(m.lvall().rows()[0].checked);
    h.log.calls.clear();
    h.frontend.statuses.clear();
    h.frontend.messages.clear();
    m.OBall4Click();
    EXPECT_TRUE(h.log.calls.empty());
    EXPECT_TRUE(h.frontend.statuses.empty());
    EXPECT_TRUE(h.frontend.messages.empty());
    EXPECT_EQ(backups, 0);
    EXPECT_EQ(m.status(), "Status : Complete Scan Your PC");
    EXPECT_TRUE(m.obpriv().visible);
    EXPECT_EQ(h.frontend.terminations, 0);
}

TEST(RepairAll, AutorepairAndAutoclose) {
    ModelHarness h;
    writeSetting(*h.store, "autorepair", "1");
    writeSetting(*h.store, "autoclose", "1");
    h.log.findings = {{"Cookies", 2}};
    auto& m = h.make(computerCategories(h.log));
    m.OBall2Click();
    EXPECT_TRUE(contains(h.log.calls, "repair:removeCookies"));
    // The messages run once after the scan, before the repair starts.
    long complete = indexOf(h.frontend.messages, "Status : Complete Scan Your PC");
    ASSERT_GE(complete, 0);
    EXPECT_EQ(h.frontend.messages[static_cast<std::size_t>(complete + 1)], "Status : Repairing Startup");
    EXPECT_EQ(m.status(), "Status : Repair Complete");
    EXPECT_EQ(h.count(16), "0");
    EXPECT_EQ(h.frontend.terminations, 1);
}

TEST(RepairAll, AutocloseOnlyAfterARepair) {
    ModelHarness h;
    writeSetting(*h.store, "autorepair", "1");
    writeSetting(*h.store, "autoclose", "1");
    auto& m = h.make(computerCategories(h.log));
    m.OBall2Click();  // finds nothing
    EXPECT_EQ(h.frontend.terminations, 0);
    EXPECT_EQ(m.status(), "Status : Complete Scan Your PC");
}

TEST(RepairAll, BackupComesFirst) {
    ModelHarness h;
    writeSetting(*h.store, "autobackup", "1");
    h.log.findings = {{"Startup", 1}};
    auto& m = h.make(computerCategories(h.log));
    Strings order;
    m.setBackupAction([&] {
        order.push_back("backup at " + m.status());
        return Status();
    });
    m.OBall2Click();
    h.log.calls.clear();
    h.frontend.statuses.clear();
    m.OBall4Click();
    EXPECT_EQ(order, Strings{"backup at Status : Backing up Registry"});
    ASSERT_GE(h.frontend.statuses.size(), 3u);
    EXPECT_EQ(h.frontend.statuses[0], "Status : Backing up Registry");
    EXPECT_EQ(h.frontend.statuses[1], "Status : Created Backup");
    EXPECT_EQ(h.frontend.statuses[2], "Status : Repairing Startup");
    EXPECT_EQ(h.count(1), "0");
}

TEST(RepairAll, FailedOrMissingBackupRepairsNothing) {
    for (bool available : {false, true}) {
        ModelHarness h;
        writeSetting(*h.store, "autobackup", "1");
        h.log.findings = {{"Startup", 2}, {"Cookies", 1}};
        auto& m = h.make(computerCategories(h.log));
        if (available)
            m.setBackupAction([] { return Status(makeError(ErrorKind::Failure, "regedit did not finish")); });
        m.OBall2Click();
        h.log.calls.clear();
        m.OBall4Click();
        EXPECT_TRUE(h.log.calls.empty()) << available;
        EXPECT_EQ(m.list("lvsp")->count(), 2u);
        EXPECT_EQ(h.count(1), "2");
        ASSERT_EQ(h.frontend.errors.size(), 1u);
        EXPECT_NE(h.frontend.errors[0].find("Nothing was repaired"), std::string::npos);
        if (available) {
            EXPECT_NE(h.frontend.errors[0].find("regedit did not finish"), std::string::npos);
        }
        EXPECT_NE(m.status(), "Status : Repair Complete");
        // The summary badges come back with the counts as they stand.
        EXPECT_TRUE(m.obmainerror().visible);
        EXPECT_EQ(m.obmainerror().caption, "2 Errors Found");
    }
}

TEST(RepairAll, UncheckedBackupRowMeansNoBackup) {
    ModelHarness h;
    h.log.findings = {{"Startup", 1}};
    auto& m = h.make(computerCategories(h.log));
    ASSERT_FALSE(m.lvall().rows()[0].checked);
    m.OBall2Click();
    m.OBall4Click();  // no backup action set: not needed
    EXPECT_TRUE(h.frontend.errors.empty());
    EXPECT_EQ(m.status(), "Status : Repair Complete");
}

TEST(SummaryRefresh, BackToMainMenuRecountsFromTheLists) {
    ModelHarness h;
    writeSetting(*h.store, "autobackup", "1");
    h.log.findings = {{"Startup", 2}, {"history", 3}};
    auto& m = h.make(computerCategories(h.log));
    m.openView(*m.category("Startup"));
    m.openView(*m.category("history"));
    m.list("lvhis")->rows().pop_back();
    m.lvall().rows()[0].checked = false;
    m.CB1Categories0Items2Click();  // applications mode first
    m.OBscanpcClick();
    EXPECT_EQ(m.mode(), SummaryMode::Computer);
    EXPECT_TRUE(m.lvall().rows()[0].checked);  // autobackup "1"
    EXPECT_EQ(h.count(1), "2");
    EXPECT_EQ(h.count(17), "2");
    EXPECT_TRUE(m.shown("lvall"));
    EXPECT_TRUE(m.shown("OBall4"));
    EXPECT_FALSE(m.shown("lvhis"));
    EXPECT_FALSE(m.Oberror().visible);
    EXPECT_EQ(m.obmainerror().caption, "2 Errors Found");
    EXPECT_EQ(m.obpriv().caption, "2 Privacy Threats Found");

    // "0" unchecks the row; any other text leaves it.
    writeSetting(*h.store, "autobackup", "0");
    m.OBscanpcClick();
    EXPECT_FALSE(m.lvall().rows()[0].checked);
    writeSetting(*h.store, "autobackup", "yes");
    m.lvall().rows()[0].checked = true;
    m.OBscanpcClick();
    EXPECT_TRUE(m.lvall().rows()[0].checked);
}

TEST(SummaryRefresh, PanelItemsRefreshAndPopUpTheirMenus) {
    ModelHarness h;
    auto& m = h.make(computerCategories(h.log));
    m.CB1Categories0Items0Click();
    m.CB1Categories0Items1Click();
    m.CB1Categories0Items2Click();
    EXPECT_EQ(h.frontend.menus, (Strings{"pabregistry", "pabprivacy", "pabapply"}));
    EXPECT_EQ(m.selectedPanelItem(), " Applications");
    EXPECT_EQ(m.mode(), SummaryMode::Applications);
    EXPECT_TRUE(m.shown("lvapply"));
    EXPECT_FALSE(m.shown("lvall"));
    EXPECT_FALSE(m.obmainerror().visible);
    EXPECT_EQ(m.obpriv().caption, "No Recentlist Found");
    EXPECT_TRUE(m.obpriv().visible);
}

// --- applications mode

struct ApplicationsHarness : ModelHarness {
    ApplicationsHarness() {
        // WinZip is installed, Office is not.
        EXPECT_TRUE(store->createKey(reg::Root::CurrentUser, "Software\\Nico Mak Computing\\WinZip").ok());
        std::vector<Category> table = computerCategories(log);
        table.push_back(fakeCategory(log, "mspaint", "lvpaint", "MS Paint", BadgeFamily::Recentlist));
        table.push_back(fakeCategory(log, "regedit", "lvregedit", "Registry Editor", BadgeFamily::Recentlist));
        table.push_back(fakeCategory(log, "msoffice", "lvoffice", "Microsoft Office", BadgeFamily::Recentlist));
        table.push_back(fakeCategory(log, "winwinzip", "lvwinzip", "WinZip", BadgeFamily::Recentlist));
        make(std::move(table));
        model->CB1Categories0Items2Click();
    }
};

TEST(ApplicationsMode, ScansTheRowsOfFoundApplications) {
    ApplicationsHarness h;
    auto& m = *h.model;
    ASSERT_EQ(m.lvapply().count(), 6u);
    ASSERT_EQ(m.lvapply().rows()[5].caption, "WinZip");
    h.log.findings = {{"mspaint", 4}, {"regedit", 1}, {"winwinzip", 2}, {"msoffice", 9}};
    m.lvapply().rows()[0].checked = false;  // MS Paint
    writeSetting(*h.store, "autorepair", "1");
    m.OBall2Click();

    EXPECT_EQ(h.log.calls, (Strings{"scan:regedit", "scan:winwinzip"}));
    EXPECT_EQ(h.appCount(0), "0");
    EXPECT_EQ(h.appCount(3), "1");
    EXPECT_EQ(h.appCount(5), "2");
    EXPECT_EQ(m.status(), "Status : Complete Scan Your PC");
    EXPECT_EQ(m.obpriv().caption, "3 Recentlist Found");
    EXPECT_EQ(m.obpriv().colour, kColourRed);
    EXPECT_FALSE(m.obmainerror().visible);
    // Office is not installed: its category never runs; no automatic repair here.
    EXPECT_FALSE(m.scanned("msoffice"));
    EXPECT_TRUE(m.scanned("winwinzip"));
    // The computer summary was not touched.
    EXPECT_EQ(h.count(1), "0");
}

TEST(ApplicationsMode, RepairAllRepairsCheckedApplications) {
    ApplicationsHarness h;
    auto& m = *h.model;
    h.log.findings = {{"mspaint", 2}, {"winwinzip", 2}};
    writeSetting(*h.store, "autoclose", "1");
    m.OBall2Click();
    h.log.calls.clear();
    m.list("lvwinzip")->rows()[0].checked = false;
    m.OBall4Click();
    EXPECT_EQ(h.log.calls, (Strings{"repair:removemspaint", "repair:removeregedit", "repair:removewinwinzip"}));
    EXPECT_EQ(h.appCount(0), "0");
    EXPECT_EQ(h.appCount(5), "1");
    EXPECT_EQ(m.status(), "Status : Repair Complete");
    EXPECT_EQ(m.obpriv().caption, "1 Recentlist Found");
    EXPECT_EQ(h.frontend.terminations, 1);
}

TEST(ApplicationsMode, RepairAllWithNothingFoundStops) {
    ApplicationsHarness h;
    auto& m = *h.model;
    m.OBall2Click();
    h.log.calls.clear();
    std::string status = m.status();
    m.OBall4Click();
    EXPECT_TRUE(h.log.calls.empty());
    EXPECT_EQ(m.status(), status);
}

TEST(ApplicationsMode, SelectToggleActsOnLvapply) {
    ApplicationsHarness h;
    auto& m = *h.model;
    m.OBall1Click();
    EXPECT_EQ(m.buttonCaption("OBall1"), "Select All");
    for (const auto& row : m.lvapply().rows())
        EXPECT_FALSE(row.checked);
    EXPECT_TRUE(m.lvall().rows()[1].checked);
    m.OBall1Click();
    EXPECT_EQ(m.buttonCaption("OBall1"), "Unselect All");
    for (const auto& row : m.lvapply().rows())
        EXPECT_TRUE(row.checked);
}

}  // namespace
}  // namespace kestrane::test
