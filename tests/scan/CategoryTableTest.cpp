// The category table as the one description of the categories: every scan
// action, summary row, menu item and view of the window has its category,
// and every category its row, its menu item and (on the shared buttons) its
// view, checked against the window's lists as the program shows them.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "results/MainWindowModel.h"
#include "results/SummaryRows.h"
#include "support/FakeClipboard.h"
#include "support/PrefixFixture.h"

namespace kestrane::test {
namespace {

// A prefix where every application of the applications summary is found.
const std::string kEveryApplication = R"(
[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1
"AppData"="C:\\users\\me\\AppData\\Roaming"

[Software\\Microsoft\\Office] 1
[Software\\Opera Software] 1
[Software\\Nico Mak Computing\\WinZip] 1
[Software\\WinRAR] 1
[Software\\Adobe\\Acrobat Reader\\5.0\\AVGeneral] 1
[Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral] 1
[Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral] 1
[Software\\ahead\\Nero - Burning Rom] 1
[Software\\SpeedBit\\Download Accelerator] 1
)";

class CategoryTable : public PrefixTest {
protected:
    void SetUp() override {
        open("\n[Software\\\\Mozilla] 1\n", kEveryApplication);
        prefix->write("drive_c/users/me/AppData/Roaming/Macromedia/Flash Player/x", "");
        reload();
        ctx->clipboard = &clipboard;  // as in the window: without one, the clipboard's category is left out
        model = std::make_unique<MainWindowModel>(*ctx, frontend, builtCategories());
    }
    std::vector<std::string> menu(Menu which) const {
        std::vector<std::string> items;
        for (const Category* c : model->menuItems(which))
            items.push_back(c->menuCaption);
        return items;
    }

    FakeClipboard clipboard;
    RecordingFrontend frontend;
    std::unique_ptr<MainWindowModel> model;
};

TEST_F(CategoryTable, EveryScanActionHasOneCategoryAndEveryCategoryAScannedFlag) {
    const std::vector<Category> table = builtCategories();
    ASSERT_EQ(table.size(), kScanActions.size());
    std::set<std::string> scans;
    for (const auto& c : table) {
        EXPECT_NE(std::find(kScanActions.begin(), kScanActions.end(), c.scan), kScanActions.end()) << c.scan;
        EXPECT_TRUE(scans.insert(c.scan).second) << c.scan;
        EXPECT_NE(c.menu, Menu::None) << c.scan << " has no menu item";
    }
}

TEST_F(CategoryTable, EverySummaryRowHasItsCategory) {
    ASSERT_EQ(model->lvall().count(), kComputerRows.size());
    EXPECT_EQ(model->categoryOfRow(SummaryMode::Computer, 0), nullptr);  // the backup switch
    for (int row = 1; row < static_cast<int>(kComputerRows.size()); ++row)
        EXPECT_NE(model->categoryOfRow(SummaryMode::Computer, row), nullptr) << kComputerRows[row].caption;
    ASSERT_EQ(model->lvapply().count(), kApplets.size() + kOptionalApplications.size());
    for (int row = 0; row < static_cast<int>(model->lvapply().count()); ++row)
        EXPECT_NE(model->categoryOfRow(SummaryMode::Applications, row), nullptr)
            << model->lvapply().rows()[static_cast<std::size_t>(row)].caption;
}

TEST_F(CategoryTable, TheMenusAreTheTablesItemsInSummaryOrder) {
    EXPECT_EQ(menu(Menu::Registry),
              (std::vector<std::string>{"Running While Startup", "Uninstaller Bugs", "Unused Extensions",
                                        "Missing ActiveX and DLLs", "Help Files", "Fonts Registration",
                                        "Virtual Components", "Obselete Software", "Progressive Analysis"}));
    EXPECT_EQ(menu(Menu::Privacy),
              (std::vector<std::string>{"Recent Documents", "Recycle Bin", "Temporary Files", "Clipboard",
                                        "Memory Dumps", "Chkdsk Files", "Log Files", "Cookies", "History",
                                        "Temporary IE", "Advanced Analysis"}));
    EXPECT_EQ(menu(Menu::Applications),
              (std::vector<std::string>{"MS Paint", "MS Wordpad", "MS Management Console", "Registry Editor",
                                        "Media Player", "Microsoft Office", "Opera", "Mozilla Firefox", "WinZip",
                                        "WinRAR", "Acrobat Reader 5.0", "Acrobat Reader 6.0", "Acrobat Reader 7.0",
                                        "Nero Burning ROM", "Download Accelerator Plus",
                                        "Macromedia Flash Player"}));
    // Every item opens its own category's view.
    std::set<std::string> openers;
    for (Menu m : {Menu::Registry, Menu::Privacy, Menu::Applications})
        for (const Category* c : model->menuItems(m)) {
            EXPECT_EQ(model->categoryOfOpener(c->opener), c);
            openers.insert(c->opener);
        }
    EXPECT_EQ(openers.size(), model->categories().size());
}

TEST_F(CategoryTable, TheSharedButtonsServeViewsOneToTwentyEight) {
    std::set<int> views;
    for (const auto& c : model->categories())
        if (c.usesSharedButtons()) views.insert(c.viewNumber);
    EXPECT_EQ(views.size(), 28u);
    EXPECT_EQ(*views.begin(), 1);
    EXPECT_EQ(*views.rbegin(), 28);
    // The privacy views are exactly those that start all selected.
    for (const auto& c : model->categories()) {
        if (c.usesSharedButtons()) {
            EXPECT_EQ(model->allSelected(c.viewNumber), c.isPrivacyView()) << c.scan;
        }
    }
    EXPECT_EQ(ignoreCodes(model->categories()), (std::vector<std::string>{"sp", "ue", "fe", "ax", "pc"}));
}

TEST(CategoryTableCheck, AContradictionShowsWhenTheModelStarts) {
    auto store = reg::RegistryStore::fromHives(reg::Hive::empty("REGISTRY\\Machine"),
                                               reg::Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000"));
    RecordingPacer pacer;
    RecordingFrontend frontend;
    ScanContext ctx{.store = *store, .pacer = pacer};
    auto broken = [&](auto change) {
        std::vector<Category> table = builtCategories();
        change(table);
        return [&, table] { MainWindowModel m(ctx, frontend, table); };
    };
    EXPECT_NO_THROW(broken([](auto&) {})());
    EXPECT_THROW(broken([](auto& t) { t[1].menuCaption = t[0].menuCaption; })(), std::logic_error);
    EXPECT_THROW(broken([](auto& t) { t[0].opener = t[1].opener; })(), std::logic_error);
    EXPECT_THROW(broken([](auto& t) { t[0].menu = Menu::None; })(), std::logic_error);  // a caption without a menu
    EXPECT_THROW(broken([](auto& t) {
                     for (auto& c : t)
                         if (c.scan == "history") c.family = BadgeFamily::Registry;
                 })(),
                 std::logic_error);
    EXPECT_THROW(broken([](auto& t) {
                     for (auto& c : t)
                         if (c.scan == "mspaint") c.menu = Menu::Privacy;
                 })(),
                 std::logic_error);
}

}  // namespace
}  // namespace kestrane::test
