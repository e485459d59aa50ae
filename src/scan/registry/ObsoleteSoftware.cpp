// Obsolete Software: the keys directly under Software of both hives (and of
// the machine's 32-bit view on a 64-bit prefix) that hold neither values nor
// subkeys.

#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/Wow64.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

// The keys directly under `software` ("Software", or the 32-bit view's
// "Software\Wow6432Node"); on a 64-bit prefix the 32-bit view's key is not
// one of them.
void pass(ScanContext& ctx, ResultList& lvos, Root root, const std::string& software, const std::string& location) {
    for (const auto& name : reg::listKeyNames(ctx.store, root, software)) {
        if (ctx.wow64 && root == Root::LocalMachine && text::equalNames(name, reg::kWow64Node))
            continue;
        // Reported only when its own names were listed and both lists are empty.
        TRegistry key(ctx.store);
        key.setRootKey(root);
        if (!key.openKey("\\" + software + "\\" + name, false) || key.currentKeyIsLink())
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
    pass(ctx, lvos, Root::CurrentUser, "Software", "HKCU\\Software\\");
    ctx.ramp(30, 60);
    pass(ctx, lvos, Root::LocalMachine, "Software", "HKLM\\Software\\");
    if (ctx.wow64)
        pass(ctx, lvos, Root::LocalMachine, "Software\\Wow6432Node", "HKLM\\Software\\Wow6432Node\\");
    ctx.ramp(60, 100);
}

void removeos(ScanContext& ctx, ResultList& lvos) {
    repairCheckedRows(ctx, lvos, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::CurrentUser, Root::LocalMachine}, row.caption, Deletes::Subkey);
    });
}

}  // namespace kestrane
