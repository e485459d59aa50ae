// WinZip, WinRAR, Acrobat Reader 5.0 to 7.0, Nero Burning ROM with its
// companions, Download Accelerator Plus and the Flash Player.

#include "platform/Registry.h"
#include "scan/ApplicationList.h"
#include "scan/FileList.h"
#include "scan/apps/ApplicationScanners.h"

namespace kestrane {

namespace {

using reg::Root;

void valueListScan(ScanContext& ctx, ResultList& list, const std::vector<RegistrySource>& sources) {
    addRegistryValueRows(ctx, list, sources);
    ctx.ramp(0, 100);
}

// Acrobat Reader keeps each recent document in a subkey (c1, c2, ...).
void acrobatScan(ScanContext& ctx, ResultList& list, const std::string& version) {
    const RegistrySource source{Root::CurrentUser, "Software\\Adobe\\Acrobat Reader\\" + version +
                                                       "\\AVGeneral\\cRecentFiles",
                                Take::AllButMRUList, "", true};
    for (const auto& name : takenNames(ctx, source))
        addApplicationRegistryRow(list, source, name, "Acrobat Reader " + version + " Recent Files");
    ctx.ramp(0, 100);
}

RegistrySource user(std::string key, Take take = Take::AllButMRUList, std::string only = {}) {
    return {Root::CurrentUser, std::move(key), take, std::move(only)};
}
RegistrySource machine(std::string key, Take take = Take::AllButMRUList, std::string only = {}) {
    return {Root::LocalMachine, std::move(key), take, std::move(only)};
}

}  // namespace

void winwinzip(ScanContext& ctx, ResultList& l) {
    const std::string winzip = "Software\\Nico Mak Computing\\WinZip\\";
    std::vector<RegistrySource> sources{user(winzip + "filemenu"), user(winzip + "extract")};
    for (const char* name : {"DefDir", "ExtractTo", "gzAddDir", "zDefDir", "AddDir", "gzExtractTo"})
        sources.push_back(user(winzip + "directories", Take::Only, name));
    sources.push_back(user(winzip + "rrs\\Opened"));
    valueListScan(ctx, l, sources);
}

void winwinrar(ScanContext& ctx, ResultList& l) {
    valueListScan(ctx, l,
                  {user("Software\\WinRAR\\ArcHistory"), user("Software\\WinRAR\\General", Take::Only, "LastFolder"),
                   user("Software\\WinRAR\\DialogEditHistory\\Arcname"),
                   user("Software\\WinRAR\\DialogEditHistory\\ExtrPath")});
}

void acrobat5(ScanContext& ctx, ResultList& l) { acrobatScan(ctx, l, "5.0"); }
void acrobat6(ScanContext& ctx, ResultList& l) { acrobatScan(ctx, l, "6.0"); }
void acrobat7(ScanContext& ctx, ResultList& l) { acrobatScan(ctx, l, "7.0"); }

void Nero(ScanContext& ctx, ResultList& l) {
    const std::string settings = "Software\\ahead\\Nero - Burning Rom\\Settings";
    valueListScan(ctx, l,
                  {user(settings, Take::Only, "BrowserDir"), user(settings, Take::Only, "ImageDir"),
                   user(settings, Take::Only, "WorkingDir"), machine(settings, Take::Only, "ImageDir"),
                   machine(settings, Take::Only, "BootImageDir"),
                   user("Software\\Ahead\\Nero - Burning Rom\\Recent File List"),
                   user("Software\\Ahead\\Cover Designer\\Recent File List"),
                   user("Software\\Nero Wave Editor\\Recent File List")});
}

void dap(ScanContext& ctx, ResultList& l) {
    valueListScan(ctx, l,
                  {machine("SOFTWARE\\SpeedBit\\Download Accelerator\\FileList"),
                   user("Software\\SpeedBit\\Download Accelerator\\HistoryCombo"),
                   user("Software\\SpeedBit\\Download Accelerator\\ADS\\SecondMedia")});
}

void Flashplay(ScanContext& ctx, ResultList& l) {
    const std::string appData = reg::regReadString(ctx.store, Root::CurrentUser,
                                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                                   "AppData");
    if (!appData.empty())
        for (const auto& path : listSources(ctx, {{appData + "\\Macromedia\\Flash Player\\", "*.*"}}))
            addApplicationFileRow(ctx, l, path, "Flash Player Recentlist", false);
    ctx.ramp(0, 100);
}

void removewinzip(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Value); }
void removewinrar(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Value); }
void removeacrobat5(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Key); }
void removeacrobat6(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Key); }
void removeacrobat7(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Key); }
void removenero(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Value); }
void removedap(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::Value); }
void removeflashplay(ScanContext& ctx, ResultList& l) { applicationListRepair(ctx, l, ApplicationRepair::FilesOnly); }

}  // namespace kestrane
