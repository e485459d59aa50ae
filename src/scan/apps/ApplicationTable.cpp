// The rows of the category table for the applications: the five applets,
// always in the applications summary, then the applications that get a row
// when they were found at start. Their views, 13 to 28, are on the shared
// buttons.

#include "scan/ApplicationList.h"
#include "scan/SharedViews.h"
#include "scan/StatusTexts.h"
#include "scan/apps/ApplicationScanners.h"

namespace kestrane {

namespace {

// An application's row: `caption` names its summary row and menu item;
// the drivers' status texts name it `scanName`, its view `viewName`.
Category application(std::string scan, std::string list, std::vector<Column> columns, CategoryAction scanAction,
                     std::string repair, CategoryAction repairAction, std::string caption, std::string opener,
                     int viewNumber, const std::string& scanName, const std::string& viewName) {
    Category c = sharedViewCategory({std::move(scan), std::move(list), std::move(columns), std::move(scanAction),
                                     std::move(repair), std::move(repairAction), caption, BadgeFamily::Recentlist,
                                     Menu::Applications, caption, std::move(opener), viewNumber});
    c.scanStatus = status::scanning(scanName);
    c.repairStatus = status::repairing(scanName);
    c.openerStatus = status::scanning(viewName, "  ");
    c.removeStatus = status::repairing(viewName, "  ");
    c.removeReport = RemoveReport::WhenEmpty;
    return c;
}

}  // namespace

std::vector<Category> applicationCategories() {
    const auto applets = appletColumns();
    const auto lists = applicationListColumns();
    std::vector<Category> t;
    t.push_back(application("mspaint", "lvpaint", applets, mspaint, "removepaint", removepaint, "MS Paint",
                            "MSPaint1Click", 13, "MS Paint", "MS Paint"));
    t.push_back(application("mswordpad", "lvwordpad", applets, mswordpad, "removewordpad", removewordpad, "MS Wordpad",
                            "MSWordpad1Click", 14, "MS Wordpad", "MS Wordpad"));
    t.push_back(application("mmc", "lvmmc", applets, mmc, "removemmc", removemmc, "MS Management Console",
                            "MSMangementConsole1Click", 15, "Management Console", "Management Console"));
    t.back().repairStatus.after = "Status : Repaired MS Management Console";
    t.push_back(application("regedit", "lvregedit", applets, regedit, "removeregedit", removeregedit,
                            "Registry Editor", "RegistryEditor1Click", 16, "Registry Editor", "Registry Editor"));
    t.push_back(application("winplay", "lvwinplay", applets, winplay, "removewinplay", removewinplay, "Media Player",
                            "MediaPlayer1Click", 17, "Media Player", "Media Player"));
    t.push_back(application("msoffice", "lvoffice", lists, msoffice, "removeoffice", removeoffice, "Microsoft Office",
                            "microoffice", 18, "MS Office", "MS Office"));
    t.push_back(application("operabro", "lvopera", lists, operabro, "removeopera", removeopera, "Opera", "broopera",
                            19, "Opera", "Opera"));
    t.push_back(application("mozillabro", "lvmozilla", lists, mozillabro, "removemozilla", removemozilla,
                            "Mozilla Firefox", "bromozilla", 20, "Mozilla", "Mozilla"));
    t.push_back(application("winwinzip", "lvwinzip", lists, winwinzip, "removewinzip", removewinzip, "WinZip",
                            "winzipzip", 21, "WinZip", "WinZip"));
    t.push_back(application("winwinrar", "lvwinrar", lists, winwinrar, "removewinrar", removewinrar, "WinRAR",
                            "winrarrar", 22, "WinRAR", "WinRAR"));
    for (int v : {5, 6, 7}) {
        const std::string version = std::to_string(v) + ".0";
        const std::string name = "Acrobat Reader " + version;
        const CategoryAction scans[] = {acrobat5, acrobat6, acrobat7};
        const CategoryAction repairs[] = {removeacrobat5, removeacrobat6, removeacrobat7};
        t.push_back(application("acrobat" + std::to_string(v), "lvacrobat" + std::to_string(v), lists, scans[v - 5],
                                "removeacrobat" + std::to_string(v), repairs[v - 5], name,
                                "adobeacrobat" + std::to_string(v), 18 + v, name, name));
    }
    t.push_back(application("Nero", "lvnero", lists, Nero, "removenero", removenero, "Nero Burning ROM", "nerorom", 26,
                            "Nero Burning ROM", "Nero Burning ROM"));
    t.push_back(application("dap", "lvdap", lists, dap, "removedap", removedap, "Download Accelerator Plus", "daplus",
                            27, "Download Accelerator Plus", "Download Accelerator"));
    t.back().repairStatus = status::repairing("Download Accelerator");
    t.push_back(application("Flashplay", "lvflashplay", applicationListColumns(false), Flashplay, "removeflashplay",
                            removeflashplay, "Macromedia Flash Player", "flashplayer", 28, "Flash Player",
                            "Flash Player"));
    return t;
}

}  // namespace kestrane
