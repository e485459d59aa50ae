// Memory Dumps, Chkdsk Files and Log Files: crash dumps, disk-check
// fragments in the root of the system drive, and log and backup files in
// fixed system folders. No subfolder is searched.

#include <algorithm>

#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "scan/FileList.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

constexpr std::string_view kDetail = "All items listed in Temporary Folder";

std::string systemRootOf(ScanContext& ctx) {
    return reg::regReadString(ctx.store, reg::Root::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                              "SystemRoot");
}

// One place searched, with the paths it leaves out.
struct Place {
    FileSource source;
    std::function<bool(const std::string&)> keep{};
};

// The file rows of every place's entries that it keeps, in the places' order.
void leftoverScan(ScanContext& ctx, ResultList& list, const std::vector<Place>& places) {
    for (const auto& place : places)
        for (const auto& path : listSources(ctx, {place.source}))
            if (!place.keep || place.keep(path))
                addFileRow(ctx, list, path, kDetail);
    ctx.ramp(0, 100);
}

}  // namespace

void dump(ScanContext& ctx, ResultList& lvdump) {
    const std::string sr = systemRootOf(ctx);
    if (sr.empty()) {  // without the system root no system folder is known
        ctx.ramp(0, 100);
        return;
    }
    leftoverScan(ctx, lvdump, {{{sr + "\\", "memory.dmp"}}, {{sr + "\\MiniDump\\", "*.dmp"}}});
}

void chk(ScanContext& ctx, ResultList& lvchk) {
    const std::string sr = systemRootOf(ctx);
    const std::string driveRoot = files::systemDriveRootOf(sr);
    if (sr.empty() || driveRoot.empty()) {
        ctx.ramp(0, 100);
        return;
    }
    leftoverScan(ctx, lvchk, {{{driveRoot, "File*.chk"}}});
}

void log(ScanContext& ctx, ResultList& lvlog) {
    const std::string sr = systemRootOf(ctx);
    if (sr.empty()) {
        ctx.ramp(0, 100);
        return;
    }
    const std::string wbem = sr + "\\system32\\wbem\\Logs\\";
    const std::string debug = sr + "\\Debug\\";
    const std::string userMode = sr + "\\Debug\\UserMode\\";
    const std::string security = sr + "\\security\\logs\\";
    leftoverScan(ctx, lvlog, {
        {{wbem, "*.log"}, {}},
        {{wbem, "*.lo_"}, {}},
        {{sr + "\\", "*.log"}, [&](const std::string& p) { return p != sr + "\\WindowsUpdate.log"; }},
        {{sr + "\\", "*log.txt"}, [](const std::string& p) { return p.find("log") != std::string::npos; }},
        {{debug, "*.log"}, [&](const std::string& p) { return p != debug + "PASSWD.LOG"; }},
        {{userMode, "*.log"}, {}},
        {{userMode, "*.bak"}, {}},
        {{security, "*.log"}, {}},
        {{security, "*.old"}, {}},
    });
}

void removedump(ScanContext& ctx, ResultList& lvdump) { fileListRepair(ctx, lvdump); }
void removechk(ScanContext& ctx, ResultList& lvchk) { fileListRepair(ctx, lvchk); }
void removelog(ScanContext& ctx, ResultList& lvlog) { fileListRepair(ctx, lvlog); }

}  // namespace kestrane
