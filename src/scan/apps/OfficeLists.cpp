// Office: the shortcuts of its recent folder, then the recent-file lists of
// Office 8.0 to 12.0, FrontPage and "MSPaper 11.0" in the user's registry.

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ApplicationList.h"
#include "scan/FileList.h"
#include "scan/apps/ApplicationScanners.h"

namespace kestrane {

namespace {

using reg::Root;

constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The registry sources in their order; key 29 once for each of MRU1 to MRU8.
std::vector<RegistrySource> officeSources() {
    const std::string office = "Software\\Microsoft\\Office\\";
    const std::string openFind12 = office + "12.0\\Common\\Open Find\\Microsoft Office ";
    auto butMru = [](std::string key) { return RegistrySource{Root::CurrentUser, std::move(key), Take::AllButMRUList}; };
    auto named = [](std::string key) { return RegistrySource{Root::CurrentUser, std::move(key), Take::Named}; };
    auto only = [](std::string key, std::string name) {
        return RegistrySource{Root::CurrentUser, std::move(key), Take::Only, std::move(name)};
    };
    std::vector<RegistrySource> s{
        butMru(office + "8.0\\Excel\\Recent File List"),
        butMru(office + "8.0\\Project\\Recent File List"),
        butMru(office + "8.0\\PowerPoint\\Recent File List"),
        butMru(office + "8.0\\PowerPoint\\Recent Folder List"),
        butMru(office + "8.0\\Common\\Internet\\LocationOfComponents"),
        butMru(office + "8.0\\Access\\Settings"),
        butMru(office + "10.0\\PowerPoint\\Recent File List"),
        butMru(office + "10.0\\Excel\\Recent Files"),
        butMru("Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent File List"),
        butMru("Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Page List"),
        butMru("Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Web List"),
        butMru(office + "10.0\\Word\\Recent Templates"),
        only(office + "10.0\\Common\\Internet", "UseRWHlinkNavigation"),
        only(office + "10.0\\Word\\Data", "Settings"),
        named(office + "10.0\\Access\\Settings"),
        named(office + "11.0\\Excel\\Recent Files"),
        named(office + "11.0\\Common\\Open Find\\Microsoft Office Word\\Settings\\Save As\\File Name MRU"),
        named(office + "11.0\\PowerPoint\\Recent File List"),
        named(office + "11.0\\Publisher\\Recent File List"),
        named(office + "11.0\\InfoPath\\Recent File List"),
        named(office + "11.0\\Common\\Internet\\Server Cache"),
        only(office + "11.0\\Common\\Internet", "UseRWHlinkNavigation"),
        named("Software\\Microsoft\\MSPaper 11.0\\Persist File Name"),
        named("Software\\Microsoft\\MSPaper 11.0\\Recent File List"),
        only(office + "11.0\\Word\\Data", "Settings"),
        named(openFind12 + "Word\\Settings\\Save As\\File Name MRU"),
        named(office + "12.0\\Word\\File MRU"),
        named(office + "12.0\\Excel\\File MRU"),
    };
    for (int i = 1; i <= 8; ++i)
        s.push_back(only(office + "12.0\\Access\\Settings", "MRU" + std::to_string(i)));
    for (auto key : {office + "12.0\\PowerPoint\\File MRU", openFind12 + "PowerPoint\\Settings\\Save As\\File Name MRU",
                     openFind12 + "InfoPath\\Settings\\Open\\File Name MRU",
                     openFind12 + "InfoPath\\Settings\\Save As\\File Name MRU",
                     openFind12 + "Excel\\Settings\\Save As\\File Name MRU",
                     openFind12 + "Publisher\\Settings\\Save As\\File Name MRU",
                     office + "12.0\\Publisher\\Recent File List", office + "12.0\\InfoPath\\Recent File List"})
        s.push_back(named(key));
    return s;
}

}  // namespace

void msoffice(ScanContext& ctx, ResultList& lvoffice) {
    const std::string appData = reg::regReadString(ctx.store, Root::CurrentUser, kShellFolders, "AppData");
    // Without the application-data folder the recent folder is not known.
    if (!appData.empty())
        for (const auto& path : listSources(ctx, {{appData + "\\Microsoft\\Office\\Recent\\", "*.*"}}))
            addApplicationFileRow(ctx, lvoffice, path, "Microsoft Office Recentlist");
    addRegistryValueRows(ctx, lvoffice, officeSources());
    ctx.ramp(0, 100);
}

void removeoffice(ScanContext& ctx, ResultList& lvoffice) {
    applicationListRepair(ctx, lvoffice, ApplicationRepair::ValueAndKey);
}

}  // namespace kestrane
