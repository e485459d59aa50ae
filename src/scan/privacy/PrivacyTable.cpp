// The rows of the category table for the privacy categories: the file
// lists, the recycle bin, the clipboard and the advanced analysis. Views 1
// to 3 and 5 to 10 are on the shared buttons; the cookies have their own.

#include "scan/FileList.h"
#include "scan/SharedViews.h"
#include "scan/StatusTexts.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

// A privacy view on the shared buttons, the usual texts around its name:
// `lead` opens the opener's texts, `removing` names it for the remove button.
Category sharedView(std::string scan, std::string list, std::vector<Column> columns, CategoryAction scanAction,
                    std::string repair, CategoryAction repairAction, std::string summaryRow,
                    std::string menuCaption, std::string opener, int viewNumber) {
    Category c = sharedViewCategory({std::move(scan), std::move(list), std::move(columns), std::move(scanAction),
                                     std::move(repair), std::move(repairAction), summaryRow, BadgeFamily::Privacy,
                                     Menu::Privacy, std::move(menuCaption), std::move(opener), viewNumber});
    c.scanStatus = status::scanning(summaryRow);
    c.repairStatus = status::repairing(summaryRow);
    c.openerStatus = status::scanning(summaryRow);
    c.removeStatus = status::repairing(summaryRow, "  ");
    // The views after the first two keep their badge until the list is empty.
    c.removeReport = viewNumber <= 2 ? RemoveReport::RowsLeft : RemoveReport::WhenEmpty;
    return c;
}

}  // namespace

std::vector<Category> privacyCategories() {
    using status::scanning;
    using status::repairing;
    std::vector<Category> table;

    Category bin = sharedView("recycle", "lvbin", {{"Error Description", 150}, {"Repair Report", 120}, {"Total Size", 100}},
                              recycle, "removebin", removebin, "Recycle Bin", "Recycle Bin", "RecycleBin2Click", 3);
    bin.countsRecycleBin = true;
    bin.openerStatus = {"  Status : Scanning Recycle Bin", "Status : Scanned Recycle Bin"};
    table.push_back(std::move(bin));

    Category temp = sharedView("temp_files", "lvdel", fileListColumns(), temp_files, "removetemp", removetemp,
                               "Temporary Files", "Temporary Files", "emporaryFiles1Click", 2);
    temp.openerStatus = scanning("Temporary Files", "  ");
    temp.removeStatus = {"  Status : Repairing Temporary Files", "  Status : Repaired Temporary files"};
    table.push_back(std::move(temp));

    Category clipboard = sharedView("clip", "lvclip", {{"Filename", 250}, {"Repair Report", 100}, {"Detail Info", 150}},
                                    clip, "removeclip", removeclip, "Clipboard", "Clipboard", "Clipboard1Click", 5);
    clipboard.needsClipboard = true;
    table.push_back(std::move(clipboard));

    Category dumps = sharedView("dump", "lvdump", fileListColumns(), dump, "removedump", removedump, "Memory Dumps",
                                "Memory Dumps", "MemoryDumps1Click", 6);
    dumps.removeStatus = repairing("Memory Dump", "  ");
    table.push_back(std::move(dumps));

    table.push_back(sharedView("chk", "lvchk", fileListColumns(), chk, "removechk", removechk, "Chkdsk Files",
                               "Chkdsk Files", "ChkdskFiles2Click", 7));
    table.push_back(sharedView("log", "lvlog", fileListColumns(), log, "removelog", removelog, "Log Files",
                               "Log Files", "LogFiles2Click", 8));

    // The cookies: a view of their own buttons; "Ignore Items" does nothing there.
    table.push_back({
        .scan = "Cookies", .list = "lvco", .columns = fileListColumns(),
        .scanAction = Cookies, .repair = "removeco", .repairAction = removeco,
        .summaryRow = "Cookies", .family = BadgeFamily::Privacy,
        .menu = Menu::Privacy, .menuCaption = "Cookies",
        .opener = "Cookies1Click", .buttons = {"OBco1", "obco2", "OBco3", "OBco4"},
        .openerStatus = scanning("Cookies", "  "), .scanStatus = scanning("Cookies"),
        .repairStatus = repairing("Cookies"), .removeStatus = repairing("Cookies", "  "),
    });

    Category hist = sharedView("history", "lvhis", fileListColumns(), history, "removehis", removehis, "History",
                               "History", "History1Click", 1);
    hist.openerStatus = scanning("History", "  ");
    table.push_back(std::move(hist));

    table.push_back(sharedView("tempie", "lvtempie", fileListColumns(), tempie, "removetempie", removetempie,
                               "Temporary IE", "Temporary IE", "emporaryIE1Click", 9));

    Category adv = sharedView("advanced", "lvadvanced",
                              {{"File Names", 180}, {"Repair Report", 180}, {"Detail Info", 220}, {"Path Location", 360}},
                              advanced, "removeadvanced", removeadvanced, "Advanced Privacy Threats Analysis",
                              "Advanced Analysis", "AdvancedAnalysis1Click", 10);
    adv.openerStatus = adv.scanStatus = {"Status : Advanced Privacy Threats Analyzing",
                                         "Status : Advanced Analyzing Completed"};
    adv.repairStatus = repairing("Privacy Threats");
    adv.removeStatus = repairing("Privacy Threats", "  ");
    table.push_back(std::move(adv));
    return table;
}

}  // namespace kestrane
