// Unused Extensions: the extensions Explorer remembers for the user that
// neither have a program list of their own nor a class registration.

#include "platform/Registry.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

constexpr std::string_view kFileExts = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

}  // namespace

void FileExt(ScanContext& ctx, ResultList& lvfe) {
    bool hasProgramList = true;  // both answers carry over from one extension to the next
    bool isClass = true;
    ctx.ramp(0, 30);
    for (const auto& ext : reg::listKeyNames(ctx.store, Root::CurrentUser, kFileExts)) {
        TRegistry exts(ctx.store);
        if (exts.openKey(kFileExts, false))
            hasProgramList = exts.keyExists(std::string(kFileExts) + '\\' + ext + "\\OpenWithProgids");
        if (hasProgramList)
            continue;
        TRegistry classes(ctx.store);
        classes.setRootKey(Root::ClassesRoot);
        if (classes.openKey("", false))
            isClass = classes.keyExists("\\" + ext);
        if (!isClass)
            lvfe.add(ext, {"Unused Extension(Removable)", "Empty Key",
                           "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"});
    }
    ctx.ramp(60, 100);
}

void removefe(ScanContext& ctx, ResultList& lvfe) {
    repairCheckedRows(ctx, lvfe, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::CurrentUser}, row.caption, Deletes::Subkey);
    });
}

}  // namespace kestrane
