#pragma once
// A scan category described as data: one row of the category table is the
// one description of a category. It names its result list and columns, its
// scan and repair actions, its place in a pop-up menu, its view (opener,
// buttons, view number), the status texts of every place that runs it, its
// summary row, its badge wording and its ignore list. The main window model
// (MainWindowModel) runs every category through the same patterns: scan
// frame, view opener, refresh, select toggle, remove button, complete scan
// and repair all; the menus, the scanned flags and the ignore lists are
// derived from the table.
//
// Adding a category is one row in its area's table (registryCategories(),
// privacyCategories(), applicationCategories()), plus its two actions in a
// file of its own:
//
//     void Startup(ScanContext& ctx, ResultList& lvsp);   // fills the list
//     void removesp(ScanContext& ctx, ResultList& lvsp);  // deletes the checked rows
//
// The scan runs inside the scan frame: the list arrives empty with its
// columns set, the progress bar at 0 and a file-system action open (folder
// listings cached until it ends). The scan appends checked rows and moves
// the bar with ctx.ramp(from, to). After either action the model sets the
// last count to the category's count (the list's rows; for the recycle bin
// the recycle-bin count, which its actions keep in ctx.recycleCount) and the
// progress bar back to 0. An exception ends the handler that ran the action
// and shows its text in the error box. The model checks the table when it
// starts: a known scan action, one list per category, a summary row that
// exists in lvall (lvapply for the Recentlist family) with the family of
// that row, distinct view numbers and openers, privacy views where the
// privacy views are.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Pacer.h"
#include "platform/Result.h"
#include "results/ResultList.h"

namespace kestrane {

class RegistryBackups;
class RegistryUndo;
struct OptimizerPanel;

namespace reg {
class RegistryStore;
}
namespace files {
class Clipboard;
class Clock;
class FileSystem;
class LaunchProbe;
class RecycleBin;
struct SystemFolders;
}

// The 32-bit half of a 64-bit prefix: its files as a 32-bit program sees
// them (system32 redirected to syswow64), the launch probe over them, and
// the folders such a program is given.
struct Wow64Files {
    files::FileSystem* files = nullptr;
    files::LaunchProbe* probe = nullptr;
    const files::SystemFolders* folders = nullptr;
};

// What the actions work with. The front end builds it once; the model owns
// the progress position and the recycle-bin count in it.
struct ScanContext {
    reg::RegistryStore& store;
    files::FileSystem* files = nullptr;
    files::LaunchProbe* probe = nullptr;
    const files::SystemFolders* folders = nullptr;
    files::RecycleBin* recycleBin = nullptr;
    Pacer& pacer;
    // The skip test of the ignore lists: whether `text` is an ignored value
    // of the category with the given code ("sp", "ue", "pc", "fe", "ax").
    std::function<bool(std::string_view code, std::string_view text)> ignored{};
    // The label under a list that names the key being examined (empty: hidden).
    std::function<void(const std::string&)> statusLabel{};
    // Lets queued window messages run, at the points a long scan allows it.
    std::function<void()> letMessagesRun{};
    // Records an ignored row in the category's ignore list and file.
    std::function<Status(std::string_view code, const std::string& value, const std::string& location)> ignore{};
    // The desktop clipboard; nothing where there is no desktop (the command line).
    files::Clipboard* clipboard = nullptr;
    // Today's date and the time of day; the system clock when not set.
    files::Clock* clock = nullptr;
    // The registry backups of the backups view and of repair all.
    RegistryBackups* backups = nullptr;
    // Where each repair's undo file goes; without it no undo file is written.
    RegistryUndo* undo = nullptr;
    // The optimizer's walk, which only reads the registry.
    std::function<void(ScanContext&, OptimizerPanel&)> optimize{};
    // The 32-bit half of a 64-bit prefix; null on a 32-bit prefix, which has
    // one view of its registry and files.
    const Wow64Files* wow64 = nullptr;

    int progress = 0;      // the progress bar PB, 0-100
    int recycleCount = 0;  // items in the recycle bin at its last scan or repair

    static constexpr int kStepMilliseconds = 30;

    bool isIgnored(std::string_view code, std::string_view text) const { return ignored && ignored(code, text); }
    void setProgress(int position) { progress = position; }
    // Sets every position from `from` to `to` inclusive, pausing after each.
    void ramp(int from, int to, int milliseconds = kStepMilliseconds) {
        for (int p = from; p <= to; ++p) {
            progress = p;
            pacer.pause(milliseconds);
        }
    }
};

using CategoryAction = std::function<void(ScanContext&, ResultList&)>;

// Which wording the badges use for the category's count, and so which
// summary list holds its row: lvall for Registry and Privacy, lvapply for
// Recentlist.
enum class BadgeFamily {
    Registry,    // n + " Errors Found" / "No Errors Found"
    Privacy,     // n + " Privacy Threats Found" / "No Privacy Threats Found"
    Recentlist,  // n + " Recentlist Found" / "No Recentlist Found" (applications)
};

// The pop-up menu whose item runs the category's view opener.
enum class Menu {
    None,
    Registry,      // pabregistry
    Privacy,       // pabprivacy
    Applications,  // pabapply
};
std::string_view menuName(Menu menu);  // "pabregistry", "pabprivacy", "pabapply"; "" for None

// How "Remove Checked Items" reports after the repair.
enum class RemoveReport {
    RowsLeft,   // badge: rows left + " Errors Found" (or "No Errors Found"); summary: rows left
    WhenEmpty,  // badge changes only when the list is empty; summary: "0"
};

struct StatusTexts {
    std::string before{};  // "Status : Scanning ..." / "Status : Repairing ..."
    std::string after{};   // "Status : Scanned ..." / "Status : Repaired ..."
};

struct Category {
    std::string scan{};      // scan action name, also its scanned flag: "Startup"
    std::string list{};      // result list: "lvsp"
    std::vector<Column> columns{};
    CategoryAction scanAction{};
    std::string repair{};    // repair action name, empty when there is none: "removesp"
    CategoryAction repairAction{};

    // Summary row: the caption of its row in lvall, or in lvapply for the
    // Recentlist family ("Running While Startup", "MS Paint").
    std::string summaryRow{};
    BadgeFamily family = BadgeFamily::Registry;
    // The complete scan writes the last count into the summary row; false:
    // it writes "0" (help files and fonts).
    bool writesScanCount = true;
    bool countsRecycleBin = false;  // its count is ctx.recycleCount, not the rows

    // Its item in a pop-up menu ("Obselete Software"). Items come in the
    // order of their summary rows.
    Menu menu = Menu::None;
    std::string menuCaption{};

    // The view: its opener, and either its own four buttons (select, ignore,
    // remove, refresh) or, with a view number, the shared buttons OBhis1-4.
    std::string opener{};    // "RunningWhileStartup1Click"
    int viewNumber = 0;    // 1-28 on the shared buttons, 0 with its own
    std::array<std::string, 4> buttons{};  // "OBsp1", "OBsp2", "OBsp3", "OBsp4"

    StatusTexts openerStatus{};  // the view opener
    StatusTexts scanStatus{};    // the complete scan
    StatusTexts repairStatus{};  // repair all
    StatusTexts removeStatus{};  // "Remove Checked Items"
    RemoveReport removeReport = RemoveReport::RowsLeft;

    bool hasSelectToggle = true;  // false: its select button has no action
    // The code of its ignore list ("sp", "ue", "pc", "fe", "ax"); empty: its
    // "Ignore Items" button does nothing.
    std::string ignoreCode{};
    // It reads the desktop clipboard: without one (the command line) the
    // category is left out and its summary row is "not available".
    bool needsClipboard = false;

    bool usesSharedButtons() const { return viewNumber > 0; }
    // A privacy view on the shared buttons: its opener sets the caption of
    // OBhis1 from the view's all-selected flag.
    bool isPrivacyView() const { return usesSharedButtons() && family == BadgeFamily::Privacy; }
};

// Every category, area by area: the summary lists fix the order in which
// the drivers run them.
std::vector<Category> builtCategories();

// The codes of the table's ignore lists, in table order.
std::vector<std::string> ignoreCodes(const std::vector<Category>& table);

}  // namespace kestrane
