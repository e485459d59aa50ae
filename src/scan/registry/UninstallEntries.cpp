// Uninstaller Bugs: the machine's uninstall keys (of both views on a 64-bit
// prefix) that carry none of the values by which an uninstall entry is
// recognised.

#include "platform/Registry.h"
#include "scan/MachineViews.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

constexpr std::string_view kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace

void Uninstall(ScanContext& ctx, ResultList& lvue) {
    ctx.ramp(0, 30);
    for (const auto& view : machineViews(ctx)) {
        const auto uninstall = view.software(kUninstall);
        if (!uninstall)
            continue;
        for (const auto& name : reg::listKeyNames(ctx.store, Root::LocalMachine, "\\" + *uninstall)) {
            TRegistry entry(ctx.store);
            entry.setRootKey(Root::LocalMachine);
            if (!entry.openKey("\\" + *uninstall + '\\' + name, false))
                continue;
            if (entry.valueExists("UninstallString") || entry.valueExists("InstallSource") ||
                entry.valueExists("DisplayName"))
                continue;
            if (ctx.isIgnored(kIgnoreUninstall, name))
                continue;
            lvue.add(name, {"Missing Uninstall Key(Removable)", name, "HKLM\\" + *uninstall + '\\' + name});
            stepProgress(ctx, 70);
        }
    }
    ctx.ramp(70, 100);
}

void removeue(ScanContext& ctx, ResultList& lvue) {
    // The uninstall key of the row's view: the one its location names, else the native one.
    std::vector<std::string> keys;
    for (const auto& view : machineViews(ctx))
        if (auto key = view.software(kUninstall))
            keys.push_back("HKLM\\" + *key);
    repairCheckedRows(ctx, lvue, [&](const ResultRow& row) {
        const std::string& name = row.subitem(1);
        std::string parent = "HKLM\\" + std::string(kUninstall);
        for (const auto& key : keys)
            if (row.subitem(2) == key + '\\' + name)
                parent = key;
        deleteAtLocation(ctx, parent, {Root::LocalMachine}, name, Deletes::Subkey);
    });
}

}  // namespace kestrane
