// Missing ActiveX and DLLs: class registrations whose in-process server file
// is found under none of the usual spellings of its path.

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "platform/TextOps.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

void ActiveX(ScanContext& ctx, ResultList& lvax) {
    using text::removeSubstring;
    const std::string pf = ctx.folders ? ctx.folders->programFiles : "";
    const std::string sr = ctx.folders ? ctx.folders->systemRoot : "";
    const std::string cf = ctx.folders ? ctx.folders->commonFiles : "";
    // The CAD product's folder, named by the first value of its Hardcopy key.
    const auto hardcopy = reg::listValueNames(ctx.store, Root::LocalMachine, "SOFTWARE\\Autodesk\\Hardcopy");
    const std::string first = hardcopy.empty() ? std::string() : hardcopy.front();
    const std::string cad = reg::regReadString(ctx.store, Root::LocalMachine, "SOFTWARE\\" + first, "AcadLocation");
    ctx.ramp(0, 30);
    for (const auto& clsid : reg::listKeyNames(ctx.store, Root::ClassesRoot, "CLSID")) {
        TRegistry server(ctx.store);
        server.setRootKey(Root::ClassesRoot);
        if (!server.openKey("\\CLSID\\" + clsid + "\\InprocServer32", false))
            continue;
        const std::string p =
            reg::regReadString(ctx.store, Root::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", "");
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
            if (ctx.files && ctx.files->fileExists(c)) {
                found = true;
                break;
            }
        }
        if (found || ctx.isIgnored("ax", p))
            continue;
        lvax.add(p, {"Missing Path(Removable)", clsid, "HKCR\\CLSID"});
        stepProgress(ctx, 70);
    }
    ctx.ramp(70, 100);
}

void removeax(ScanContext& ctx, ResultList& lvax) {
    repairCheckedRows(ctx, lvax, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::ClassesRoot}, row.subitem(1), Deletes::Subkey);
    });
}

}  // namespace kestrane
