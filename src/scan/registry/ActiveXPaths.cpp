// Missing ActiveX and DLLs: class registrations (of both views on a 64-bit
// prefix) whose in-process server file is found under none of the usual
// spellings of its path.

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "platform/TextOps.h"
#include "scan/MachineViews.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

// One view's classes: each whose in-process server is found under none of
// the spellings, with the folders and files of the view's programs.
void scanClasses(ScanContext& ctx, ResultList& lvax, const MachineView& view) {
    using text::removeSubstring;
    const auto clsidKey = view.classes("CLSID");
    if (!clsidKey)
        return;
    const std::string pf = view.folders ? view.folders->programFiles : "";
    const std::string sr = view.folders ? view.folders->systemRoot : "";
    const std::string cf = view.folders ? view.folders->commonFiles : "";
    // The CAD product's folder, named by the first value of its Hardcopy key.
    const auto hardcopyKey = view.software("SOFTWARE\\Autodesk\\Hardcopy");
    const auto hardcopy = hardcopyKey ? reg::listValueNames(ctx.store, Root::LocalMachine, *hardcopyKey)
                                      : std::vector<std::string>{};
    const std::string first = hardcopy.empty() ? std::string() : hardcopy.front();
    const auto cadKey = view.software("SOFTWARE\\" + first);
    const std::string cad = cadKey ? reg::regReadString(ctx.store, Root::LocalMachine, *cadKey, "AcadLocation") : "";
    for (const auto& clsid : reg::listKeyNames(ctx.store, Root::ClassesRoot, *clsidKey)) {
        const std::string serverKey = *clsidKey + "\\" + clsid + "\\InprocServer32";
        TRegistry server(ctx.store);
        server.setRootKey(Root::ClassesRoot);
        if (!server.openKey("\\" + serverKey, false))
            continue;
        const std::string p = reg::regReadString(ctx.store, Root::ClassesRoot, serverKey, "");
        if (p.empty())
            continue;
        const std::string candidates[] = {
            removeSubstring("\"", p),
            pf + removeSubstring("%ProgramFiles%", p),
            sr + removeSubstring("%SystemRoot%", p),
            sr + removeSubstring("%systemroot%", p),
            p,
            sr + "\\system32\\" + p,
            sr + removeSubstring("%windir%", p),
            sr + removeSubstring("%Systemroot%", p),
            sr + removeSubstring("%Windir%", p),
            pf + removeSubstring("%programFiles%", p),
            cf + removeSubstring("%CommonProgramFiles%", p),
            cad + "\\" + p,
            pf + "\\Common Files\\Autodesk Shared\\" + p,
        };
        bool found = false;
        for (const auto& c : candidates) {
            if (view.files && view.files->fileExists(c)) {
                found = true;
                break;
            }
        }
        if (found || ctx.isIgnored(kIgnoreActiveX, p))
            continue;
        lvax.add(p, {"Missing Path(Removable)", clsid, "HKCR\\" + *clsidKey});
        stepProgress(ctx, 70);
    }
}

}  // namespace

void ActiveX(ScanContext& ctx, ResultList& lvax) {
    ctx.ramp(0, 30);
    for (const auto& view : machineViews(ctx))
        scanClasses(ctx, lvax, view);
    ctx.ramp(70, 100);
}

void removeax(ScanContext& ctx, ResultList& lvax) {
    repairCheckedRows(ctx, lvax, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::ClassesRoot}, row.subitem(1), Deletes::Subkey);
    });
}

}  // namespace kestrane
