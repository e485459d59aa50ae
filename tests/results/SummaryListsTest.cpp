// The state the main window starts with: the two summary lists, the
// presence tests of the applications, the settings read at creation.

#include <gtest/gtest.h>

#include "platform/PrefixFileSystem.h"
#include "platform/SystemFolders.h"
#include "results/ModelFixture.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

std::vector<std::string> captions(const ResultList& l) {
    std::vector<std::string> out;
    for (const auto& row : l.rows())
        out.push_back(row.caption);
    return out;
}

void createKey(reg::RegistryStore& store, reg::Root root, const std::string& path) {
    ASSERT_TRUE(store.createKey(root, path).ok()) << path;
}

TEST(SummaryLists, ComputerSummaryHas21FixedRows) {
    ModelHarness h;
    auto& m = h.make({});
    const ResultList& lvall = m.lvall();
    ASSERT_EQ(lvall.count(), 21u);
    ASSERT_EQ(lvall.columns().size(), 3u);
    EXPECT_EQ(lvall.columns()[0].caption, "Scanned Items");
    EXPECT_EQ(lvall.columns()[0].width, 210);
    EXPECT_EQ(lvall.columns()[1].caption, "Number of Errors");
    EXPECT_EQ(lvall.columns()[2].caption, "Category");

    EXPECT_EQ(lvall.rows()[0].caption, "Create Registry Backup");
    EXPECT_EQ(lvall.rows()[0].subitems, std::vector<std::string>{""});
    EXPECT_EQ(lvall.rows()[8].caption, "Obsolete Software");
    EXPECT_EQ(lvall.rows()[19].caption, "Advanced Privacy Threats Analysis");
    for (int row = 1; row <= 20; ++row) {
        const auto& r = lvall.rows()[static_cast<std::size_t>(row)];
        EXPECT_EQ(r.subitem(0), "0") << row;
        EXPECT_EQ(r.subitem(1), row >= 9 && row <= 19 ? "Privacy Threats" : "Registry") << row;
        EXPECT_EQ(r.checked, row != 20) << row;
    }
    // No autobackup value: the backup row starts unchecked.
    EXPECT_FALSE(lvall.rows()[0].checked);
}

TEST(SummaryLists, StartStateOfTheWindow) {
    ModelHarness h;
    writeSetting(*h.store, "autobackup", "1");
    auto& m = h.make({});
    EXPECT_TRUE(m.lvall().rows()[0].checked);
    EXPECT_EQ(m.mode(), SummaryMode::Computer);
    EXPECT_EQ(m.status(), "Status : Ready");
    EXPECT_EQ(m.progress(), 0);
    EXPECT_EQ(m.activeView(), 0);
    EXPECT_FALSE(m.detailItemsEnabled());
    for (auto control : {"OBall1", "OBall2", "OBall3", "OBall4", "OBhelp", "lvall"})
        EXPECT_TRUE(m.shown(control)) << control;
    EXPECT_FALSE(m.shown("lvapply"));
    for (const auto& b : m.badges())
        EXPECT_FALSE(b.visible) << b.name;
    for (auto action : kScanActions)
        EXPECT_FALSE(m.scanned(action)) << action;
    // The privacy views on the shared buttons start all selected, the others not.
    for (int view = 1; view <= 28; ++view)
        EXPECT_EQ(m.allSelected(view), view <= 10 && view != 4) << view;
    EXPECT_EQ(m.buttonCaption("OBall1"), "Unselect All");
}

TEST(SummaryLists, AutoscanDecidesTheFirstRunScan) {
    {
        ModelHarness h;
        EXPECT_TRUE(h.make({}).firstRunScanDue());
    }
    {
        ModelHarness h;
        writeSetting(*h.store, "autoscan", "1");
        EXPECT_TRUE(h.make({}).firstRunScanDue());
    }
    {
        ModelHarness h;
        writeSetting(*h.store, "autoscan", "0");
        EXPECT_FALSE(h.make({}).firstRunScanDue());
    }
    // The close handler writes "0", so the next start does not scan.
    ModelHarness h;
    auto& m = h.make({});
    m.FormClose();
    EXPECT_EQ(reg::regReadString(*h.store, reg::Root::CurrentUser, "Software\\KestranePro", "autoscan"), "0");
}

TEST(SummaryLists, NoApplicationFoundGivesTheFiveApplets) {
    ModelHarness h;
    // Mozilla under the current user does not count: only the machine's key does.
    createKey(*h.store, reg::Root::CurrentUser, "SOFTWARE\\Mozilla");
    // Acrobat needs its AVGeneral key, not just the version.
    createKey(*h.store, reg::Root::CurrentUser, "Software\\Adobe\\Acrobat Reader\\5.0");
    auto& m = h.make({});
    EXPECT_EQ(captions(m.lvapply()),
              (std::vector<std::string>{"MS Paint", "MS Wordpad", "MS Management Console", "Registry Editor",
                                        "Media Player"}));
    for (const auto& row : m.lvapply().rows()) {
        EXPECT_TRUE(row.checked);
        EXPECT_EQ(row.subitems, (std::vector<std::string>{"0", "Applications"}));
    }
}

TEST(SummaryLists, FoundApplicationsFollowInTheirFixedOrder) {
    ModelHarness h;
    createKey(*h.store, reg::Root::CurrentUser, "Software\\WinRAR");
    createKey(*h.store, reg::Root::CurrentUser, "software\\opera software");  // any case
    createKey(*h.store, reg::Root::LocalMachine, "Software\\Mozilla\\Firefox");
    auto& m = h.make({});
    auto rows = captions(m.lvapply());
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[5], "Opera");
    EXPECT_EQ(rows[6], "Mozilla Firefox");
    EXPECT_EQ(rows[7], "WinRAR");
}

TEST(SummaryLists, MachineKeyThatCannotBeWrittenDoesNotCount) {
    ModelHarness h;
    createKey(*h.store, reg::Root::LocalMachine, "Software\\Mozilla");
    h.store->setReadOnly(reg::Root::LocalMachine, true);
    auto& m = h.make({});
    EXPECT_EQ(m.lvapply().count(), 5u);
}

TEST(SummaryLists, FlashPlayerIsFoundByItsFolderAlone) {
    TempPrefix prefix;
    std::filesystem::create_directories(prefix.driveC() / "users/me/AppData/Roaming/Macromedia/Flash Player");
    files::PrefixFileSystem fs(prefix.path());
    files::SystemFolders folders;
    folders.appData = "C:\\users\\me\\AppData\\Roaming";

    ModelHarness h;
    h.ctx.files = &fs;
    h.ctx.folders = &folders;
    auto& m = h.make({});
    ASSERT_EQ(m.lvapply().count(), 6u);
    EXPECT_EQ(m.lvapply().rows()[5].caption, "Macromedia Flash Player");

    // Without the folder there is no row.
    std::filesystem::remove_all(prefix.driveC() / "users/me/AppData/Roaming/Macromedia");
    ModelHarness h2;
    h2.ctx.files = &fs;
    h2.ctx.folders = &folders;
    EXPECT_EQ(h2.make({}).lvapply().count(), 5u);
}

TEST(SummaryLists, CategoryTableIsChecked) {
    ActionLog log;
    ModelHarness h;
    auto a = fakeCategory(log, "Startup", "lvsp", "Running While Startup", BadgeFamily::Registry);
    auto b = fakeCategory(log, "Uninstall", "lvsp", "Uninstaller Bugs", BadgeFamily::Registry);
    EXPECT_THROW(h.make({a, b}), std::logic_error);  // one list, two categories
    auto c = fakeCategory(log, "NoSuchScan", "lvx", "Uninstaller Bugs", BadgeFamily::Registry);
    EXPECT_THROW(h.make({c}), std::logic_error);
    // The menu caption is not the summary row.
    auto d = fakeCategory(log, "Obsolete", "lvos", "Obselete Software", BadgeFamily::Registry);
    EXPECT_THROW(h.make({d}), std::logic_error);
    // An application's row is in lvapply, not lvall.
    auto e = fakeCategory(log, "mspaint", "lvpaint", "MS Paint", BadgeFamily::Privacy);
    EXPECT_THROW(h.make({e}), std::logic_error);
    auto f = fakeCategory(log, "history", "lvhis", "History", BadgeFamily::Privacy);
    auto g = fakeCategory(log, "tempie", "lvtempie", "Temporary IE", BadgeFamily::Privacy);
    f.viewNumber = g.viewNumber = 1;
    EXPECT_THROW(h.make({f, g}), std::logic_error);
    g.viewNumber = 9;
    EXPECT_NO_THROW(h.make({f, g}));
}

TEST(Badges, WordingsColoursAndBlinking) {
    EXPECT_EQ(badgeCaption(BadgeFamily::Registry, 3), "3 Errors Found");
    EXPECT_EQ(badgeCaption(BadgeFamily::Registry, 0), "No Errors Found");
    EXPECT_EQ(badgeCaption(BadgeFamily::Privacy, 12), "12 Privacy Threats Found");
    EXPECT_EQ(badgeCaption(BadgeFamily::Privacy, 0), "No Privacy Threats Found");
    EXPECT_EQ(badgeCaption(BadgeFamily::Recentlist, 1), "1 Recentlist Found");
    EXPECT_EQ(badgeCaption(BadgeFamily::Recentlist, 0), "No Recentlist Found");

    Badge b{.name = "Oberror", .timer = "Timer1"};
    b.setCount(BadgeFamily::Registry, 2, true);
    EXPECT_EQ(b.colour, kColourRed);
    EXPECT_TRUE(b.blinking);
    b.tick();
    EXPECT_EQ(b.colour, kColourSilver);
    b.tick();
    EXPECT_EQ(b.colour, kColourRed);
    // Zero without stopping: black, but the timer keeps its state.
    b.setCount(BadgeFamily::Registry, 0, false);
    EXPECT_EQ(b.colour, kColourBlack);
    EXPECT_TRUE(b.blinking);
    b.setCount(BadgeFamily::Registry, 0, true);
    EXPECT_FALSE(b.blinking);
    b.tick();
    EXPECT_EQ(b.colour, kColourBlack);
}

}  // namespace
}  // namespace kestrane::test
