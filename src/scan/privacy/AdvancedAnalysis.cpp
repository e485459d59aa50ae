// Advanced Privacy Threats Analysis: the entries of the recently-used lists
// and last-used places that the registry holds: typed addresses, the Run
// box's commands, search terms, file dialogs, mapped drives, computer
// descriptions, download folders, the last 3-D application.

#include "platform/Registry.h"
#include "scan/RegistryList.h"
#include "scan/RowRepair.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

using reg::Root;

constexpr std::string_view kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

void addRows(ScanContext& ctx, ResultList& list, const RegistrySource& source, std::string_view kind) {
    for (const auto& name : takenNames(ctx, source))
        list.add(name, {std::string(kind), valueData(ctx, source, name), locationOf(source)});
}

}  // namespace

void advanced(ScanContext& ctx, ResultList& lvadvanced) {
    auto rows = [&](Root root, std::string keyPath, Take take, std::string only, std::string_view kind) {
        addRows(ctx, lvadvanced, RegistrySource{root, std::move(keyPath), take, std::move(only)}, kind);
    };
    const std::string explorer(kExplorer);
    ctx.ramp(0, 10);
    rows(Root::CurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs", Take::All, "", "Recently Typed URLs");
    ctx.ramp(10, 20);
    rows(Root::CurrentUser, explorer + "RunMRU", Take::All, "", "Recently Typed in Run Menu");
    ctx.ramp(20, 30);
    rows(Root::CurrentUser, "Software\\Microsoft\\Internet Explorer", Take::Only, "Download Directory",
         "Last Download Location");
    rows(Root::CurrentUser, "Software\\Microsoft\\Internet Explorer\\Main", Take::Only, "Save Directory",
         "Last Download Location");
    ctx.ramp(30, 40);
    // Search terms: the values of each subkey, one level deep.
    const std::string acmru = "Software\\Microsoft\\Search Assistant\\ACMru\\";
    for (const auto& sub : reg::listKeyNames(ctx.store, Root::CurrentUser, acmru))
        rows(Root::CurrentUser, acmru + sub + "\\", Take::All, "", "Recently Typed in Search Menu");
    ctx.ramp(40, 50);
    rows(Root::CurrentUser, explorer + "ComDlg32\\OpenSaveMRU", Take::AllButMRUList, "", "Explorer MRUs");
    ctx.ramp(50, 60);
    rows(Root::CurrentUser, explorer + "Map Network Drive MRU", Take::AllButMRUList, "", "Explorer MRUs");
    ctx.ramp(60, 70);
    rows(Root::CurrentUser, explorer + "ComputerDescriptions", Take::AllButMRUList, "", "Explorer MRUs");
    ctx.ramp(70, 80);
    rows(Root::CurrentUser, "Software\\Microsoft\\Direct3D\\MostRecentApplication", Take::Only, "Name",
         "Explorer MRUs");
    ctx.ramp(80, 90);
    rows(Root::LocalMachine, "Software\\Microsoft\\Direct3D\\MostRecentApplication", Take::Only, "Name",
         "Explorer MRUs");
    rows(Root::LocalMachine, "Software\\Microsoft\\DirectDraw\\MostRecentApplication", Take::Only, "Name",
         "Explorer MRUs");
    ctx.ramp(90, 100);
}

void removeadvanced(ScanContext& ctx, ResultList& lvadvanced) {
    repairCheckedRows(ctx, lvadvanced, [&](const ResultRow& row) {
        deleteAtLocation(ctx, row.subitem(2), {Root::CurrentUser, Root::LocalMachine}, row.caption, Deletes::Value);
    });
}

}  // namespace kestrane
