// The undo of repairs on the demo prefix, which has findings for every
// registry category: repair all writes one undo file before anything is
// saved, and loading it back gives the registry back as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "computer/Computer.h"
#include "demo/DemoPrefix.h"
#include "platform/RegFile.h"
#include "results/MainWindowModel.h"
#include "results/SummaryRows.h"
#include "support/Recorders.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;

struct DemoRun {
    fs::path folder = makeTempDir("kestrane-undo");
    fs::path prefix;
    RecordingPacer pacer;
    RecordingFrontend frontend;
    std::unique_ptr<Computer> computer;
    std::unique_ptr<MainWindowModel> model;

    DemoRun() {
        auto made = demo::ensureDemoPrefix(folder / "demo", false);
        EXPECT_TRUE(made.ok());
        prefix = made.value();
        open();
    }
    ~DemoRun() { fs::remove_all(folder); }
    void open() {
        model.reset();
        computer.reset();
        auto opened = Computer::open(prefix, pacer);
        ASSERT_TRUE(opened.ok()) << opened.error().message;
        computer = std::move(opened.value());
        model = std::make_unique<MainWindowModel>(computer->context(), frontend, builtCategories());
        frontend.model = model.get();
    }
    fs::path undoFolder() const { return prefix / "drive_c/Program Files/Kestrane Professional/Undo"; }
};

TEST(Undo, RepairAllOnTheDemoIsUndoneByItsUndoFile) {
    DemoRun run;
    const std::string before = reg::exportRegistry(run.computer->store());
    // Every registry row, the progressive analysis among them; no backup.
    ResultList& rows = run.model->lvall();
    rows.rows()[kBackupRow].checked = false;
    for (std::size_t row = 1; row < rows.count(); ++row) rows.rows()[row].checked = isRegistryRow(static_cast<int>(row));
    run.model->completeScan();
    run.model->repairAll();
    ASSERT_TRUE(run.frontend.errors.empty()) << run.frontend.errors.front();
    const std::string undo = run.model->lastUndo();
    ASSERT_FALSE(undo.empty());
    ASSERT_TRUE(fs::is_regular_file(run.undoFolder() / undo));
    ASSERT_TRUE(run.computer->store().save().ok());
    EXPECT_NE(reg::exportRegistry(run.computer->store()), before);

    // As a new start of the program: the undo file loads back and is saved.
    run.open();
    auto listed = run.computer->undo().list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].file, undo);
    ASSERT_TRUE(run.computer->undo().apply(undo).ok());
    run.open();
    EXPECT_EQ(reg::exportRegistry(run.computer->store()), before);
    // And a scan finds again what the repair had removed.
    run.model->completeScan();
    EXPECT_NE(run.model->lvall().rows()[1].subitem(0), "0");
}

TEST(Undo, EachCategorysRepairIsUndoneByItsUndoFile) {
    std::vector<std::string> undone;
    for (const Category& c : builtCategories()) {
        if (c.repair.empty() || c.needsClipboard) continue;
        DemoRun run;
        const Category* category = run.model->category(c.scan);
        ASSERT_NE(category, nullptr) << c.scan;
        const std::string before = reg::exportRegistry(run.computer->store());
        run.model->openView(*category);
        run.model->removeChecked(*category);
        ASSERT_TRUE(run.frontend.errors.empty()) << c.scan << ": " << run.frontend.errors.front();
        const std::string undo = run.model->lastUndo();
        if (undo.empty()) {
            // A repair that took nothing from the registry writes no undo file.
            EXPECT_EQ(reg::exportRegistry(run.computer->store()), before) << c.scan;
            EXPECT_TRUE(run.computer->undo().list().empty()) << c.scan;
            continue;
        }
        ASSERT_TRUE(run.computer->store().save().ok()) << c.scan;
        EXPECT_NE(reg::exportRegistry(run.computer->store()), before) << c.scan;
        run.open();
        ASSERT_TRUE(run.computer->undo().apply(undo).ok()) << c.scan;
        run.open();
        EXPECT_EQ(reg::exportRegistry(run.computer->store()), before) << c.scan << " after its undo";
        undone.push_back(c.scan);
    }
    // Every category that deletes from the registry and has findings on the
    // demo (the browsers' lists are files only).
    for (const char* scan : {"Startup", "Uninstall", "FileExt", "ActiveX", "Deep", "Obsolete", "advanced", "mspaint",
                             "mswordpad", "mmc", "regedit", "winplay", "msoffice",
                             "winwinzip", "winwinrar", "acrobat5", "acrobat6", "acrobat7", "Nero", "dap"})
        EXPECT_NE(std::find(undone.begin(), undone.end(), scan), undone.end()) << scan << " was not undone";
}

TEST(Undo, OneUndoFileForEachRepairAndNoneWhenNothingWasTaken) {
    DemoRun run;
    const Category* startup = run.model->category("Startup");
    ASSERT_NE(startup, nullptr);
    run.model->openView(*startup);
    run.model->removeChecked(*startup);
    const std::string first = run.model->lastUndo();
    ASSERT_FALSE(first.empty());
    // Nothing left to take: no new file.
    run.model->removeChecked(*startup);
    EXPECT_EQ(run.model->lastUndo(), first);
    EXPECT_EQ(run.computer->undo().list().size(), 1u);
    // A second repair in the same second gets a name of its own.
    const Category* uninstall = run.model->category("Uninstall");
    run.model->openView(*uninstall);
    run.model->removeChecked(*uninstall);
    EXPECT_NE(run.model->lastUndo(), first);
    EXPECT_EQ(run.computer->undo().list().size(), 2u);
}

}  // namespace
}  // namespace kestrane::test
