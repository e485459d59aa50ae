// The rows of the category table for the registry categories, and the
// recent documents (a registry scanner whose findings count among the
// privacy threats).

#include "scan/StatusTexts.h"
#include "scan/FileList.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

namespace {

std::vector<Column> registryColumns(int w0, int w1, int w2, int w3) {
    return {{"Error Items", w0}, {"Repair Report", w1}, {"Detail Info", w2}, {"Registry Location", w3}};
}

}  // namespace

std::vector<Category> registryCategories() {
    using status::scanning;
    using status::repairing;
    std::vector<Category> table;
    table.push_back({
        .scan = "Startup", .list = "lvsp", .columns = registryColumns(200, 200, 250, 250),
        .scanAction = Startup, .repair = "removesp", .repairAction = removesp,
        .summaryRow = "Running While Startup", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Running While Startup",
        .opener = "RunningWhileStartup1Click", .buttons = {"OBsp1", "OBsp2", "OBsp3", "OBsp4"},
        .openerStatus = scanning("Startup Programs"), .scanStatus = scanning("Startup Programs"),
        .repairStatus = repairing("Startup Programs"), .removeStatus = repairing("Startup Programs"),
        .ignoreCode = std::string(kIgnoreStartup),
    });
    table.push_back({
        .scan = "Uninstall", .list = "lvue", .columns = registryColumns(180, 210, 210, 220),
        .scanAction = Uninstall, .repair = "removeue", .repairAction = removeue,
        .summaryRow = "Uninstaller Bugs", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Uninstaller Bugs",
        .opener = "UninstallerBugs1Click", .buttons = {"OBue1", "obue2", "OBue3", "OBue4"},
        .openerStatus = {"Status : Scanning Uninstaller Bugs ", "Status : Scanned Uninstaller Bugs"},
        .scanStatus = scanning("Uninstaller Bugs"), .repairStatus = repairing("Uninstaller Bugs"),
        .removeStatus = repairing("Uninstalls"),
        .ignoreCode = std::string(kIgnoreUninstall),
    });
    table.push_back({
        .scan = "FileExt", .list = "lvfe", .columns = registryColumns(100, 200, 150, 150),
        .scanAction = FileExt, .repair = "removefe", .repairAction = removefe,
        .summaryRow = "Unused Extensions", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Unused Extensions",
        .opener = "UnusedExtensions1Click", .buttons = {"OBfe1", "obfe2", "OBfe3", "OBfe4"},
        .openerStatus = scanning("Unused Extension"), .scanStatus = scanning("Unused Extensions"),
        .repairStatus = repairing("Unused Extensions"), .removeStatus = repairing("File Associations"),
        .ignoreCode = std::string(kIgnoreExtensions),
    });
    table.push_back({
        .scan = "ActiveX", .list = "lvax", .columns = registryColumns(200, 150, 200, 150),
        .scanAction = ActiveX, .repair = "removeax", .repairAction = removeax,
        .summaryRow = "Missing ActiveX and DLLs", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Missing ActiveX and DLLs",
        .opener = "MissingActiveXandDLLs1Click", .buttons = {"OBax1", "obax2", "OBax3", "OBax4"},
        .openerStatus = scanning("ActiveX and DLLs"), .scanStatus = scanning("ActiveX and DLLs"),
        .repairStatus = repairing("Missing ActiveX and DLLs"), .removeStatus = repairing("DLLs/ActiveX"),
        .ignoreCode = std::string(kIgnoreActiveX),
    });
    // Help files and fonts: nothing to find or repair; the complete scan
    // writes "0" into their rows. Both use the shared buttons.
    table.push_back({
        .scan = "helpfile", .list = "lvhelp", .columns = registryColumns(180, 210, 210, 220),
        .scanAction = helpfile,
        .summaryRow = "Help Files", .family = BadgeFamily::Registry, .writesScanCount = false,
        .menu = Menu::Registry, .menuCaption = "Help Files",
        .opener = "H1Click", .viewNumber = 12,
        .openerStatus = scanning("Help Files", "  "), .scanStatus = scanning("Help Files"),
        .repairStatus = repairing("Help Files"),
    });
    table.push_back({
        .scan = "fontreg", .list = "lvfont", .columns = registryColumns(180, 210, 210, 220),
        .scanAction = fontreg,
        .summaryRow = "Fonts Registration", .family = BadgeFamily::Registry, .writesScanCount = false,
        .menu = Menu::Registry, .menuCaption = "Fonts Registration",
        .opener = "FontsRegistra1Click", .viewNumber = 11,
        .openerStatus = scanning("Fonts Registration", "  "), .scanStatus = scanning("Fonts Registration"),
        .repairStatus = repairing("Fonts Registration"),
    });
    // Virtual components: a view of its own whose only live button is "Refresh".
    table.push_back({
        .scan = "VirtualDevice", .list = "lvvd", .columns = registryColumns(180, 210, 210, 220),
        .scanAction = VirtualDevice,
        .summaryRow = "Virtual Components", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Virtual Components",
        .opener = "VirtualComponent1Click", .buttons = {"OBvd1", "obvd2", "OBvd3", "OBvd4"},
        .openerStatus = scanning("Virtual Devices", "  "), .scanStatus = scanning("Virtual Components"),
        .repairStatus = repairing("Virtual Components"),
        .hasSelectToggle = false,
    });
    table.push_back({
        .scan = "Obsolete", .list = "lvos", .columns = registryColumns(180, 210, 210, 220),
        .scanAction = Obsolete, .repair = "removeos", .repairAction = removeos,
        .summaryRow = "Obsolete Software", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Obselete Software",
        .opener = "ObseleteSoftware1Click", .viewNumber = 4,
        .openerStatus = scanning("Obsolete Software", "  "), .scanStatus = scanning("Obsolete Software"),
        .repairStatus = repairing("Obsolete Software"), .removeStatus = repairing("Obsolete Software", "  "),
        .removeReport = RemoveReport::WhenEmpty,
    });
    table.push_back({
        .scan = "Privacy", .list = "lvpc", .columns = fileListColumns(),
        .scanAction = Privacy, .repair = "removepc", .repairAction = removepc,
        .summaryRow = "Recent Documents", .family = BadgeFamily::Privacy,
        .menu = Menu::Privacy, .menuCaption = "Recent Documents",
        .opener = "RecentDocuments2Click", .buttons = {"OBpc1", "obpc2", "OBpc3", "OBpc4"},
        .openerStatus = scanning("Recent Documents"), .scanStatus = scanning("Recent Documents"),
        .repairStatus = repairing("Recent Documents"), .removeStatus = repairing("Recent Documents"),
        .ignoreCode = std::string(kIgnoreRecent),
    });
    table.push_back({
        .scan = "Deep", .list = "LV2", .columns = registryColumns(200, 200, 150, 250),
        .scanAction = Deep, .repair = "removeda", .repairAction = removeda,
        .summaryRow = "Progressive Registry Analysis", .family = BadgeFamily::Registry,
        .menu = Menu::Registry, .menuCaption = "Progressive Analysis",
        .opener = "ProgressiveClick", .buttons = {"OBda1", "OBda2", "OBda3", "OBda4"},
        .openerStatus = {"Status : Progressive Registry Analyzing", "Status : Progressive Analyzing Completed"},
        .scanStatus = {"Status : Progressive Registry Analyzing", "Status : Progressive Analyzing Completed"},
        .repairStatus = repairing("Registry"),
        .removeStatus = {"Status : Repairing Invalid Filepaths ", "Status : Repaired Invalid Filepaths"},
    });
    return table;
}

}  // namespace kestrane
