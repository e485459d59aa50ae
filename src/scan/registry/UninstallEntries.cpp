// Uninstaller Bugs: the machine's uninstall keys that carry none of the
// values by which an uninstall entry is recognised.

#include "platform/Registry.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

constexpr std::string_view kUninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace

void Uninstall(ScanContext& ctx, ResultList& lvue) {
    ctx.ramp(0, 30);
    for (const auto& name : reg::listKeyNames(ctx.store, Root::LocalMachine, kUninstall)) {
        TRegistry entry(ctx.store);
        entry.setRootKey(Root::LocalMachine);
        if (!entry.openKey(std::string(kUninstall) + '\\' + name, false))
            continue;
        if (entry.valueExists("UninstallString") || entry.valueExists("InstallSource") ||
            entry.valueExists("DisplayName"))
            continue;
        if (ctx.isIgnored("ue", name))
            continue;
        lvue.add(name, {"Missing Uninstall Key(Removable)", name,
                        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name});
        stepProgress(ctx, 70);
    }
    ctx.ramp(70, 100);
}

void removeue(ScanContext& ctx, ResultList& lvue) {
    repairCheckedRows(ctx, lvue, [&](const ResultRow& row) {
        deleteAtLocation(ctx, std::string("HKLM") + std::string(kUninstall), {Root::LocalMachine}, row.subitem(1),
                         Deletes::Subkey);
    });
}

}  // namespace kestrane
