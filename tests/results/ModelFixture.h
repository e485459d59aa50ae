#pragma once
// A main window model over an in-memory registry, with fake categories whose
// scan actions append as many rows as the test asks, and the recording front
// end and pacer.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Hive.h"
#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "results/Category.h"
#include "results/MainWindowModel.h"
#include "results/SummaryRows.h"
#include "support/Recorders.h"

namespace kestrane::test {

inline std::unique_ptr<reg::RegistryStore> emptyStore() {
    return reg::RegistryStore::fromHives(reg::Hive::empty("REGISTRY\\Machine"),
                                         reg::Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000"));
}

inline void writeSetting(reg::RegistryStore& store, const std::string& name, const std::string& value) {
    reg::regWriteString(store, reg::Root::CurrentUser, "Software\\KestranePro", name, value);
}

// What the fake actions did, in order: "scan:Startup", "repair:removesp".
struct ActionLog {
    std::vector<std::string> calls;
    std::map<std::string, int> findings;  // rows the next scan of an action finds
};

// A fake category for a summary row caption. Its scan appends
// log.findings[scan] checked rows and runs one ramp 0-100; its repair drops
// the checked rows, as the real repairs do.
inline Category fakeCategory(ActionLog& log, std::string scan, std::string list, std::string summaryRow,
                             BadgeFamily family, bool withRepair = true) {
    Category c;
    c.scan = scan;
    c.list = list;
    c.columns = {{"Error Items", 200}, {"Repair Report", 200}};
    c.scanAction = [&log, scan](ScanContext& ctx, ResultList& l) {
        log.calls.push_back("scan:" + scan);
        for (int i = 0; i < log.findings[scan]; ++i)
            l.add(scan + std::to_string(i), {"Remove"});
        ctx.ramp(0, 100);
    };
    if (withRepair) {
        c.repair = "remove" + scan;
        c.repairAction = [&log, repair = c.repair](ScanContext&, ResultList& l) {
            log.calls.push_back("repair:" + repair);
            std::vector<ResultRow> kept;
            for (auto& row : l.rows())
                if (!row.checked) kept.push_back(row);
            l.rows() = kept;
        };
    }
    c.summaryRow = std::move(summaryRow);
    c.family = family;
    c.opener = scan + "Click";
    c.buttons = {"OB" + scan + "1", "ob" + scan + "2", "OB" + scan + "3", "OB" + scan + "4"};
    c.openerStatus = {"Status : Opening " + scan, "Status : Opened " + scan};
    c.scanStatus = {"Status : Scanning " + scan, "Status : Scanned " + scan};
    c.repairStatus = {"Status : Repairing " + scan, "Status : Repaired " + scan};
    c.removeStatus = {"Status : Removing " + scan, "Status : Removed " + scan};
    return c;
}

// Fake categories for every computer row but the rows listed in `missing`:
// the real table's names (scan action, list, summary row, family, and
// whether the row has a repair and writes its scan count), with fake
// actions and texts.
inline std::vector<Category> computerCategories(ActionLog& log, std::vector<int> missing = {}) {
    std::vector<Category> table;
    const std::vector<Category> real = builtCategories();
    for (int row = 1; row <= 20; ++row) {
        if (std::find(missing.begin(), missing.end(), row) != missing.end()) continue;
        const std::string_view caption = kComputerRows[static_cast<std::size_t>(row)].caption;
        auto it = std::find_if(real.begin(), real.end(), [&](const Category& c) {
            return c.family != BadgeFamily::Recentlist && c.summaryRow == caption;
        });
        if (it == real.end()) continue;
        table.push_back(fakeCategory(log, it->scan, it->list, it->summaryRow, it->family, it->repairAction != nullptr));
        table.back().writesScanCount = it->writesScanCount;
    }
    return table;
}

// The scan action of a computer row's category in the real table.
inline std::string scanOfRow(int row) {
    const std::string_view caption = kComputerRows[static_cast<std::size_t>(row)].caption;
    for (const auto& c : builtCategories())
        if (c.family != BadgeFamily::Recentlist && c.summaryRow == caption) return c.scan;
    return {};
}

// A model with its store, context and recorders.
struct ModelHarness {
    std::unique_ptr<reg::RegistryStore> store = emptyStore();
    RecordingPacer pacer;
    RecordingFrontend frontend;
    ScanContext ctx{.store = *store, .pacer = pacer};
    ActionLog log;
    std::unique_ptr<MainWindowModel> model;

    ModelHarness() { pacer.ctx = &ctx; }

    MainWindowModel& make(std::vector<Category> table) {
        model = std::make_unique<MainWindowModel>(ctx, frontend, std::move(table));
        frontend.model = model.get();
        return *model;
    }
    std::string count(int row) const { return model->lvall().rows()[static_cast<std::size_t>(row)].subitem(0); }
    std::string appCount(int row) const { return model->lvapply().rows()[static_cast<std::size_t>(row)].subitem(0); }
};

}  // namespace kestrane::test
