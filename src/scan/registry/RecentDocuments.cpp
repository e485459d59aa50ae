// Recent Documents: the shortcuts in the user's Recent folder.

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/FileList.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

void Privacy(ScanContext& ctx, ResultList& lvpc) {
    const std::string folder =
        reg::regReadString(ctx.store, reg::Root::CurrentUser,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Recent") +
        "\\";
    std::vector<std::string> names;
    if (ctx.files)
        ctx.files->listFolder(names, folder, "*.lnk");
    for (const auto& name : names) {
        if (ctx.isIgnored(kIgnoreRecent, name))
            continue;
        addFileRow(ctx, lvpc, folder, name, "All items listed in Recent Documents");
    }
    ctx.ramp(0, 100);
}

void removepc(ScanContext& ctx, ResultList& lvpc) { fileListRepair(ctx, lvpc); }

}  // namespace kestrane
