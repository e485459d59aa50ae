// The category views: scan frame, progress ramps, view opener, refresh,
// select toggles, "Remove Checked Items" and the summary details dispatch.

#include <gtest/gtest.h>

#include "results/ModelFixture.h"

namespace kestrane::test {
namespace {

using Strings = std::vector<std::string>;

// Fake categories on the shared buttons, as the program has them.
std::vector<Category> withSharedViews(ActionLog& log) {
    auto table = computerCategories(log);
    for (auto& c : table) {
        if (c.scan == "history") c.viewNumber = 1;
        if (c.scan == "clip") c.viewNumber = 5;
        if (c.scan == "dump") c.viewNumber = 6;
        if (c.scan == "fontreg") c.viewNumber = 11;
        if (c.viewNumber == 5 || c.viewNumber == 6) c.removeReport = RemoveReport::WhenEmpty;
    }
    auto paint = fakeCategory(log, "mspaint", "lvpaint", "MS Paint", BadgeFamily::Recentlist);
    paint.viewNumber = 13;
    paint.removeReport = RemoveReport::WhenEmpty;
    table.push_back(paint);
    return table;
}

TEST(ViewOpener, ScansOnceAndRefreshScansAgain) {
    ModelHarness h;
    h.log.findings = {{"Startup", 2}};
    auto& m = h.make(computerCategories(h.log));
    const Category& startup = *m.category("Startup");
    m.openView(startup);
    EXPECT_EQ(h.log.calls, Strings{"scan:Startup"});
    EXPECT_TRUE(m.scanned("Startup"));
    for (auto control : {"lvsp", "OBStartup1", "obStartup2", "OBStartup3", "OBStartup4", "OBhelp"})
        EXPECT_TRUE(m.shown(control)) << control;
    EXPECT_FALSE(m.shown("lvall"));
    EXPECT_FALSE(m.shown("OBall2"));
    EXPECT_EQ(h.frontend.messages, Strings{"Status : Opening Startup"});
    EXPECT_EQ(m.status(), "Status : Opened Startup");
    EXPECT_EQ(m.Oberror().caption, "2 Errors Found");
    EXPECT_EQ(m.Oberror().colour, kColourRed);
    EXPECT_TRUE(m.Oberror().blinking);
    EXPECT_TRUE(m.Oberror().visible);
    EXPECT_FALSE(m.obmainerror().visible);
    EXPECT_EQ(h.count(1), "2");

    // A second opening shows the rows as they stand.
    m.list("lvsp")->rows()[0].checked = false;
    h.log.findings["Startup"] = 0;
    m.openView(startup);
    EXPECT_EQ(h.log.calls.size(), 1u);
    EXPECT_FALSE(m.list("lvsp")->rows()[0].checked);

    // Refresh scans again; a zero count is black and the timer stays off.
    m.refreshView(startup);
    EXPECT_EQ(h.log.calls.size(), 2u);
    EXPECT_EQ(m.list("lvsp")->count(), 0u);
    EXPECT_EQ(m.Oberror().caption, "No Errors Found");
    EXPECT_EQ(m.Oberror().colour, kColourBlack);
    EXPECT_FALSE(m.Oberror().blinking);
    EXPECT_EQ(h.count(1), "0");
}

TEST(ViewOpener, CompleteScanLeavesNothingToScan) {
    ModelHarness h;
    h.log.findings = {{"Cookies", 3}};
    auto& m = h.make(computerCategories(h.log));
    m.OBall2Click();
    h.log.calls.clear();
    m.openView(*m.category("Cookies"));
    EXPECT_TRUE(h.log.calls.empty());
    EXPECT_EQ(m.Oberror().caption, "3 Privacy Threats Found");
}

TEST(ViewOpener, TimerTicksBlinkOnlyTheirBadge) {
    ModelHarness h;
    h.log.findings = {{"Startup", 1}};
    auto& m = h.make(computerCategories(h.log));
    m.openView(*m.category("Startup"));
    m.timerTick("Timer3");
    EXPECT_EQ(m.Oberror().colour, kColourRed);
    m.timerTick("Timer1");
    EXPECT_EQ(m.Oberror().colour, kColourSilver);
    // Any view change stops the blinking.
    m.OBscanpcClick();
    EXPECT_FALSE(m.Oberror().blinking);
    EXPECT_FALSE(m.Oberror().visible);
}

TEST(ViewOpener, ErrorInTheScanIsShownAndLeavesTheFlag) {
    ModelHarness h;
    auto table = computerCategories(h.log);
    table[0].scanAction = [](ScanContext&, ResultList&) { throw reg::RegistryError("Access denied"); };
    auto& m = h.make(std::move(table));
    m.openView(*m.category("Startup"));
    EXPECT_EQ(h.frontend.errors, Strings{"Access denied"});
    EXPECT_FALSE(m.scanned("Startup"));
    EXPECT_FALSE(m.Oberror().visible);
}

TEST(ScanFrame, ListArrivesEmptyWithItsColumnsAndRampsArePaced) {
    ModelHarness h;
    auto table = computerCategories(h.log);
    int rowsSeen = -1;
    std::size_t columnsSeen = 0;
    int progressSeen = -1;
    table[0].scanAction = [&](ScanContext& ctx, ResultList& l) {
        rowsSeen = static_cast<int>(l.count());
        columnsSeen = l.columns().size();
        progressSeen = ctx.progress;
        ctx.ramp(0, 30);
        l.add("a");
        ctx.ramp(30, 60);
        ctx.ramp(60, 80);
        ctx.ramp(80, 100);
    };
    auto& m = h.make(std::move(table));
    m.list("lvsp")->add("old row");
    m.list("lvsp")->setColumns({{"Old", 1}});
    h.ctx.progress = 55;
    m.openView(*m.category("Startup"));

    EXPECT_EQ(rowsSeen, 0);
    EXPECT_EQ(columnsSeen, 2u);
    EXPECT_EQ(progressSeen, 0);
    EXPECT_EQ(m.list("lvsp")->columns()[0].caption, "Error Items");
    EXPECT_EQ(m.lastCount(), 1);
    EXPECT_EQ(m.progress(), 0);

    // 31 + 31 + 21 + 21 pauses of 30 ms; the shared end points are set twice.
    const auto& p = h.pacer.positions;
    ASSERT_EQ(p.size(), 104u);
    for (int ms : h.pacer.pauses)
        EXPECT_EQ(ms, 30);
    for (int i = 0; i <= 30; ++i)
        EXPECT_EQ(p[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(p[31], 30);
    EXPECT_EQ(p[61], 60);
    EXPECT_EQ(p[62], 60);
    EXPECT_EQ(p[82], 80);
    EXPECT_EQ(p[83], 80);
    EXPECT_EQ(p.back(), 100);
}

TEST(ScanFrame, NothingFoundStillRunsTheRamp) {
    ModelHarness h;
    auto& m = h.make(computerCategories(h.log));
    m.openView(*m.category("Uninstall"));
    EXPECT_EQ(h.pacer.positions.size(), 101u);
    EXPECT_EQ(m.list("lvue")->count(), 0u);
    EXPECT_EQ(m.list("lvue")->columns().size(), 2u);
}

TEST(SelectToggle, OwnButtonsFlipCaptionAndRows) {
    ModelHarness h;
    h.log.findings = {{"Startup", 3}};
    auto& m = h.make(computerCategories(h.log));
    const Category& startup = *m.category("Startup");
    m.openView(startup);
    m.list("lvsp")->rows()[1].checked = false;
    EXPECT_EQ(m.buttonCaption("OBStartup1"), "Unselect All");
    m.toggleSelect(startup);
    EXPECT_EQ(m.buttonCaption("OBStartup1"), "Select All");
    for (const auto& row : m.list("lvsp")->rows())
        EXPECT_FALSE(row.checked);
    m.toggleSelect(startup);
    EXPECT_EQ(m.buttonCaption("OBStartup1"), "Unselect All");
    for (const auto& row : m.list("lvsp")->rows())
        EXPECT_TRUE(row.checked);
    EXPECT_EQ(h.log.calls.size(), 1u);  // no rescan

    // An empty list: only the caption changes.
    const Category& uninstall = *m.category("Uninstall");
    m.openView(uninstall);
    m.toggleSelect(uninstall);
    EXPECT_EQ(m.buttonCaption("OBUninstall1"), "Select All");
    EXPECT_EQ(m.buttonCaption("OBStartup1"), "Unselect All");
}

TEST(SelectToggle, SharedButtonRemembersEachPrivacyView) {
    ModelHarness h;
    h.log.findings = {{"history", 2}, {"clip", 1}, {"fontreg", 0}};
    auto& m = h.make(withSharedViews(h.log));
    m.OBhis1Click();  // no view yet: nothing
    EXPECT_EQ(m.buttonCaption("OBhis1"), "Unselect All");

    m.openView(*m.category("history"));
    EXPECT_EQ(m.activeView(), 1);
    for (auto control : {"lvhis", "OBhis1", "obhis2", "OBhis3", "OBhis4", "OBhelp"})
        EXPECT_TRUE(m.shown(control)) << control;
    m.OBhis1Click();
    EXPECT_EQ(m.buttonCaption("OBhis1"), "Select All");
    EXPECT_FALSE(m.allSelected(1));
    EXPECT_FALSE(m.list("lvhis")->rows()[0].checked);

    m.openView(*m.category("clip"));
    EXPECT_EQ(m.activeView(), 5);
    EXPECT_EQ(m.buttonCaption("OBhis1"), "Unselect All");
    // A registry view on the shared buttons leaves the caption alone.
    m.openView(*m.category("fontreg"));
    EXPECT_EQ(m.activeView(), 11);
    EXPECT_EQ(m.buttonCaption("OBhis1"), "Unselect All");
    m.openView(*m.category("history"));
    EXPECT_EQ(m.buttonCaption("OBhis1"), "Select All");

    // A rescan brings checked rows; the caption stays as the user left it.
    m.OBhis4Click();
    EXPECT_EQ(h.log.calls, (Strings{"scan:history", "scan:clip", "scan:fontreg", "scan:history"}));
    EXPECT_TRUE(m.list("lvhis")->rows()[0].checked);
    EXPECT_EQ(m.buttonCaption("OBhis1"), "Select All");
}

TEST(RemoveChecked, RowsLeftAreCountedOnTheBadgeAndSummary) {
    ModelHarness h;
    h.log.findings = {{"history", 3}};
    auto& m = h.make(withSharedViews(h.log));
    m.openView(*m.category("history"));
    m.list("lvhis")->rows()[2].checked = false;
    h.frontend.messages.clear();
    m.OBhis3Click();
    EXPECT_EQ(h.log.calls.back(), "repair:removehistory");
    EXPECT_EQ(h.frontend.messages, Strings{"Status : Removing history"});
    EXPECT_EQ(m.status(), "Status : Removed history");
    EXPECT_EQ(m.list("lvhis")->count(), 1u);
    EXPECT_EQ(m.lastCount(), 1);
    EXPECT_EQ(m.Oberror().caption, "1 Errors Found");
    EXPECT_TRUE(m.Oberror().blinking);
    EXPECT_EQ(h.count(17), "1");

    // The caption still reads "Unselect All": the first click unchecks, the second checks.
    m.toggleSelect(*m.category("history"));
    EXPECT_FALSE(m.list("lvhis")->rows()[0].checked);
    m.toggleSelect(*m.category("history"));
    EXPECT_TRUE(m.list("lvhis")->rows()[0].checked);
    m.OBhis3Click();
    EXPECT_EQ(m.Oberror().caption, "No Errors Found");
    EXPECT_EQ(m.Oberror().colour, kColourBlack);
    EXPECT_FALSE(m.Oberror().blinking);
    EXPECT_EQ(h.count(17), "0");
}

TEST(RemoveChecked, WhenEmptyKeepsTheBadgeUntilTheListIsEmpty) {
    ModelHarness h;
    h.log.findings = {{"dump", 2}, {"mspaint", 1}};
    auto& m = h.make(withSharedViews(h.log));
    m.openView(*m.category("dump"));
    m.list("lvdump")->rows()[0].checked = false;
    m.OBhis3Click();
    EXPECT_EQ(m.list("lvdump")->count(), 1u);
    EXPECT_EQ(m.Oberror().caption, "2 Privacy Threats Found");
    EXPECT_EQ(h.count(13), "0");  // "0" whatever is left
    m.list("lvdump")->rows()[0].checked = true;
    m.OBhis3Click();
    EXPECT_EQ(m.Oberror().caption, "No Errors Found");
    EXPECT_FALSE(m.Oberror().blinking);

    m.openView(*m.category("mspaint"));
    EXPECT_EQ(m.Oberror().caption, "1 Recentlist Found");
    EXPECT_EQ(h.appCount(0), "1");
    m.OBhis3Click();
    EXPECT_EQ(m.Oberror().caption, "No Recentlist Found");
    EXPECT_EQ(h.appCount(0), "0");
}

TEST(RemoveChecked, ViewWithoutRepairDoesNothing) {
    ModelHarness h;
    auto& m = h.make(withSharedViews(h.log));
    m.openView(*m.category("fontreg"));
    std::string status = m.status();
    h.log.calls.clear();
    m.OBhis3Click();
    EXPECT_TRUE(h.log.calls.empty());
    EXPECT_EQ(m.status(), status);
}

TEST(DetailsDispatch, SelectedRowOpensItsCategory) {
    ModelHarness h;
    h.log.findings = {{"Cookies", 1}};
    auto& m = h.make(computerCategories(h.log, {3}));
    m.lvallDblClick();  // nothing selected
    EXPECT_TRUE(m.shown("lvall"));
    EXPECT_FALSE(m.detailItemsEnabled());
    m.OBall3Click();  // disabled
    EXPECT_TRUE(m.shown("lvall"));

    m.lvallSelect(16);
    EXPECT_TRUE(m.detailItemsEnabled());
    EXPECT_EQ(m.selectedCategory(), "Cookies");
    m.OBall3Click();
    EXPECT_EQ(m.selectedPanelItem(), " Privacy Threats");
    EXPECT_TRUE(m.shown("lvco"));
    EXPECT_EQ(m.Oberror().caption, "1 Privacy Threats Found");

    m.OBscanpcClick();
    m.lvallSelect(20);
    m.lvallDblClick();
    EXPECT_EQ(m.selectedPanelItem(), " Registry ");
    EXPECT_TRUE(m.shown("LV2"));

    // Row 0 and a category not built do nothing.
    m.OBscanpcClick();
    m.lvallSelect(0);
    m.lvallDblClick();
    EXPECT_TRUE(m.shown("lvall"));
    m.lvallSelect(3);
    m.lvallDblClick();
    EXPECT_TRUE(m.shown("lvall"));
}

TEST(DetailsDispatch, ApplicationsModeUsesTheComputerSelection) {
    ModelHarness h;
    ASSERT_TRUE(h.store->createKey(reg::Root::CurrentUser, "Software\\WinRAR").ok());
    auto table = computerCategories(h.log);
    table.push_back(fakeCategory(h.log, "winwinrar", "lvwinrar", "WinRAR", BadgeFamily::Recentlist));
    auto& m = h.make(std::move(table));
    m.lvallSelect(9);
    m.CB1Categories0Items2Click();
    m.OBall3Click();
    EXPECT_TRUE(m.shown("lvpc"));

    m.CB1Categories0Items2Click();
    m.lvapplyDblClick();  // nothing selected
    EXPECT_TRUE(m.shown("lvapply"));
    m.lvapplySelect(5);
    m.lvapplyDblClick();
    EXPECT_EQ(m.selectedCategory(), "WinRAR");
    EXPECT_EQ(m.selectedPanelItem(), " Applications");
    EXPECT_TRUE(m.shown("lvwinrar"));
    EXPECT_EQ(m.Oberror().caption, "No Recentlist Found");
    // "Detail Items" now looks up "WinRAR" among the computer rows: nothing.
    m.CB1Categories0Items2Click();
    m.OBall3Click();
    EXPECT_TRUE(m.shown("lvapply"));
}

}  // namespace
}  // namespace kestrane::test
