// Running While Startup: the Run and RunOnce keys of the user and the Run key
// of the machine (of both views on a 64-bit prefix), every command line that
// names no program it could start.

#include "platform/LaunchProbe.h"
#include "platform/Registry.h"
#include "scan/MachineViews.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;

namespace {

// One Run key: every value whose command line the launch probe cannot start.
void scanRunKey(ScanContext& ctx, ResultList& lvsp, const files::LaunchProbe* probe, Root root,
                std::string_view readPath, const std::string& location) {
    for (const auto& name : reg::listValueNames(ctx.store, root, readPath)) {
        std::string command = reg::regReadString(ctx.store, root, readPath, name);
        if (probe && probe->probe(command, 0) != 1)
            continue;
        lvsp.add(name, {"Missing Startup Application(Remove)", command, location});
    }
}

}  // namespace

void Startup(ScanContext& ctx, ResultList& lvsp) {
    ctx.ramp(0, 30);
    scanRunKey(ctx, lvsp, ctx.probe, Root::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
               "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ctx.ramp(30, 60);
    scanRunKey(ctx, lvsp, ctx.probe, Root::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
               "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    ctx.ramp(60, 80);
    // A 32-bit program's command line is resolved as it would resolve it.
    for (const auto& view : machineViews(ctx))
        if (auto key = view.software("Software\\Microsoft\\Windows\\CurrentVersion\\Run"))
            scanRunKey(ctx, lvsp, view.probe, Root::LocalMachine, *key, "HKLM\\" + *key);
    ctx.ramp(80, 100);
}

void removesp(ScanContext& ctx, ResultList& lvsp) {
    repairCheckedRows(ctx, lvsp, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::CurrentUser, Root::LocalMachine}, row.caption, Deletes::Value);
    });
}

}  // namespace kestrane
