// The registry categories' views through the main window model, with the
// real category table: the shared buttons of obsolete software and the
// "Ignore Items" buttons.

#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "results/MainWindowModel.h"
#include "scan/registry/RegistryScanners.h"
#include "support/PrefixFixture.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

class RegistryViews : public PrefixTest {
protected:
    void SetUp() override {
        open("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
             "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
             "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Gone] 1\n"
             "\"Other\"=\"x\"\n",
             "\n[Software\\\\Empty1] 1\n\n[Software\\\\Empty2] 1\n");
        folder = prefix->driveC() / "Program Files";
        model = std::make_unique<MainWindowModel>(*ctx, frontend, registryCategories());
        frontend.model = model.get();
    }

    const std::string& summaryCount(const std::string& caption) {
        for (const auto& row : model->lvall().rows())
            if (row.caption == caption)
                return row.subitem(0);
        static const std::string none = "?";
        return none;
    }

    std::filesystem::path folder;  // the program-files folder: the ignore lists live below it
    RecordingFrontend frontend;
    std::unique_ptr<MainWindowModel> model;
};

TEST_F(RegistryViews, ObsoleteSoftwareRemovesThroughTheSharedButtons) {
    const Category* c = model->category("Obsolete");
    ASSERT_NE(c, nullptr);
    model->openView(*c);
    EXPECT_EQ(model->activeView(), 4);
    ASSERT_EQ(model->list("lvos")->count(), 2u);
    EXPECT_EQ(model->Oberror().caption, "2 Errors Found");
    model->list("lvos")->rows()[1].checked = false;
    model->OBhis3Click();
    EXPECT_EQ(model->status(), "  Status : Repaired Obsolete Software");
    EXPECT_TRUE(std::find(frontend.statuses.begin(), frontend.statuses.end(),
                          "  Status : Repairing Obsolete Software") != frontend.statuses.end());
    // A row is left: the badge keeps its caption, the summary shows 0.
    EXPECT_EQ(model->list("lvos")->count(), 1u);
    EXPECT_EQ(model->Oberror().caption, "2 Errors Found");
    EXPECT_EQ(summaryCount("Obsolete Software"), "0");
    EXPECT_FALSE(store->keyExists(reg::Root::CurrentUser, "Software\\Empty1"));
    EXPECT_TRUE(store->keyExists(reg::Root::CurrentUser, "Software\\Empty2"));
    // The last row goes: now the badge says so.
    for (auto& row : model->list("lvos")->rows())
        row.checked = true;
    model->OBhis3Click();
    EXPECT_EQ(model->Oberror().caption, "No Errors Found");
}

TEST_F(RegistryViews, IgnoreItemsMovesTheSelectedRowIntoTheIgnoreList) {
    const Category* c = model->category("Uninstall");
    ASSERT_NE(c, nullptr);
    model->openView(*c);
    ASSERT_EQ(model->list("lvue")->count(), 1u);
    const std::string summaryBefore = summaryCount("Uninstaller Bugs");
    model->ignoreItems(*c, std::nullopt);  // nothing selected: nothing happens
    EXPECT_EQ(model->list("lvue")->count(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder / "Kestrane Pro" / "Dataue.dat"));
    model->ignoreItems(*c, 0);
    EXPECT_EQ(model->list("lvue")->count(), 0u);
    EXPECT_EQ(summaryCount("Uninstaller Bugs"), summaryBefore);  // counts stay until the next scan
    EXPECT_EQ(readFile(folder / "Kestrane Pro" / "Dataue.dat"),
              "Gone=HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone\r\n");
    model->refreshView(*c);
    EXPECT_EQ(model->list("lvue")->count(), 0u);  // skipped from now on
    // The progressive analysis has no ignore list: its button does nothing.
    const Category* deep = model->category("Deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_TRUE(deep->ignoreCode.empty());
}

TEST_F(RegistryViews, VirtualComponentsViewHasOnlyRefresh) {
    const Category* c = model->category("VirtualDevice");
    ASSERT_NE(c, nullptr);
    model->openView(*c);
    const std::string before = model->buttonCaption("OBvd1");
    model->toggleSelect(*c);
    model->removeChecked(*c);
    model->ignoreItems(*c, 0);
    EXPECT_EQ(model->buttonCaption("OBvd1"), before);
    EXPECT_TRUE(frontend.errors.empty());
    EXPECT_EQ(model->list("lvvd")->count(), 0u);
}

}  // namespace
}  // namespace kestrane::test
