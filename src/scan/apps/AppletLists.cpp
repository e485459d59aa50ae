// The applets' recent lists: Paint, WordPad, the Management Console and
// Media Player keep their recent files in a key of the user, the Registry
// Editor the key it showed last. One scan and one repair for all five.

#include "platform/Registry.h"
#include "scan/RegistryList.h"
#include "scan/RowRepair.h"
#include "scan/apps/ApplicationScanners.h"

namespace kestrane {

namespace {

using reg::Root;

void appletScan(ScanContext& ctx, ResultList& list, RegistrySource source) {
    scanRegistrySources(ctx, {source}, [&](const RegistrySource& s, const std::string& name) {
        list.add(fileNamePart(valueData(ctx, s, name)), {name, "Registry Data", locationOf(s)});
    });
    ctx.ramp(0, 100);
}

// Each checked row's value (named in "Repair Report") goes from the user's key.
void appletRepair(ScanContext& ctx, ResultList& list) {
    repairCheckedRows(ctx, list, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::CurrentUser}, row.subitem(0), Deletes::Value);
    });
}

RegistrySource recentFiles(std::string keyPath) { return {Root::CurrentUser, std::move(keyPath), Take::AllButMRUList}; }

}  // namespace

std::vector<Column> appletColumns() {
    return {{"Recentlist File", 180}, {"Repair Report", 100}, {"Detail Info", 220}, {"Registry Location", 250}};
}

std::string fileNamePart(std::string_view data) {
    auto sep = data.find_last_of("\\:");
    return std::string(sep == std::string_view::npos ? data : data.substr(sep + 1));
}

void mspaint(ScanContext& ctx, ResultList& l) {
    appletScan(ctx, l, recentFiles("Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List"));
}
void mswordpad(ScanContext& ctx, ResultList& l) {
    appletScan(ctx, l, recentFiles("Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List"));
}
void mmc(ScanContext& ctx, ResultList& l) {
    appletScan(ctx, l, recentFiles("Software\\Microsoft\\Microsoft Management Console\\Recent File List"));
}
void regedit(ScanContext& ctx, ResultList& l) {
    appletScan(ctx, l,
               {Root::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", Take::Only, "LastKey"});
}
void winplay(ScanContext& ctx, ResultList& l) {
    appletScan(ctx, l, recentFiles("Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList"));
}

void removepaint(ScanContext& ctx, ResultList& l) { appletRepair(ctx, l); }
void removewordpad(ScanContext& ctx, ResultList& l) { appletRepair(ctx, l); }
void removemmc(ScanContext& ctx, ResultList& l) { appletRepair(ctx, l); }
void removeregedit(ScanContext& ctx, ResultList& l) { appletRepair(ctx, l); }
void removewinplay(ScanContext& ctx, ResultList& l) { appletRepair(ctx, l); }

}  // namespace kestrane
