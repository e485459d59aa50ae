// Obsolete Software: the keys directly under Software of both hives that
// hold neither values nor subkeys.

#include "platform/Registry.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

void pass(ScanContext& ctx, ResultList& lvos, Root root, const std::string& location) {
    for (const auto& name : reg::listKeyNames(ctx.store, root, "Software")) {
        // Reported only when its own names were listed and both lists are empty.
        TRegistry key(ctx.store);
        key.setRootKey(root);
        if (!key.openKey("\\Software\\" + name, false) || key.currentKeyIsLink())
            continue;
        std::vector<std::string> values, subkeys;
        key.getValueNames(values);
        key.getKeyNames(subkeys);
        if (values.empty() && subkeys.empty())
            lvos.add(name, {"Empty Key(Remove)", name, location});
    }
}

}  // namespace

void Obsolete(ScanContext& ctx, ResultList& lvos) {
    ctx.ramp(0, 30);
    pass(ctx, lvos, Root::CurrentUser, "HKCU\\Software\\");
    ctx.ramp(30, 60);
    pass(ctx, lvos, Root::LocalMachine, "HKLM\\Software\\");
    ctx.ramp(60, 100);
}

void removeos(ScanContext& ctx, ResultList& lvos) {
    repairCheckedRows(ctx, lvos, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::CurrentUser, Root::LocalMachine}, row.caption, Deletes::Subkey);
    });
}

}  // namespace kestrane
