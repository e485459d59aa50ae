#pragma once
// The main window without its widgets: every result list, the two summary
// lists, the badges, the status line, the progress position, the shared
// counters and flags, which controls are shown, and the handlers that change
// them. The Qt window draws this state and forwards clicks; the command line
// and the tests drive it directly.

#include <array>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "results/Backups.h"
#include "results/Badge.h"
#include "results/Category.h"
#include "results/Frontend.h"
#include "results/ResultList.h"

namespace kestrane {

enum class SummaryMode { Computer, Applications };

class MainWindowModel {
public:
    // Actions reach the front end and the label through the context's hooks
    // letMessagesRun and statusLabel, which the model sets for its life.
    //
    // The creation handler: computer mode, `autoscan` kept, the all-selected
    // flags of the privacy views set, "Status : Ready", the computer summary
    // shown with lvall and lvapply built (row 0 as `autobackup` says, one row
    // per application found). One scanned flag per category of the table.
    // A category that needs the clipboard is left out when there is none.
    // A table that contradicts itself or the summary lists raises
    // std::logic_error.
    MainWindowModel(ScanContext& ctx, Frontend& frontend, std::vector<Category> categories);
    ~MainWindowModel();
    MainWindowModel(const MainWindowModel&) = delete;
    MainWindowModel& operator=(const MainWindowModel&) = delete;

    // The registry backup made before repair all when row 0 is checked: the
    // backups view's backupreg when the context has the backups, else none
    // until one is set; without one a requested backup counts as failed.
    void setBackupAction(std::function<Status()> backupreg) { m_backupreg = std::move(backupreg); }
    bool backupAvailable() const { return static_cast<bool>(m_backupreg); }

    // --- state ---------------------------------------------------------------
    SummaryMode mode() const { return m_mode; }
    const std::string& status() const { return m_status; }
    int progress() const { return m_ctx.progress; }
    int lastCount() const { return m_lastCount; }
    int recycleCount() const { return m_ctx.recycleCount; }
    bool scanned(std::string_view action) const;
    const std::string& selectedCategory() const { return m_selectedCategory; }
    const std::string& selectedPanelItem() const { return m_panelItem; }
    int activeView() const { return m_activeView; }
    bool allSelected(int view) const;
    bool detailItemsEnabled() const { return m_detailItemsEnabled; }
    // The label under a list naming the key being examined; empty: hidden.
    const std::string& labeldeep() const { return m_labeldeep; }
    // The `autoscan` text read at creation: anything but "0" asks for a
    // complete scan right after start-up.
    const std::string& autoscan() const { return m_autoscan; }
    bool firstRunScanDue() const { return m_autoscan != "0"; }

    const ResultList& lvall() const { return m_lvall; }
    const ResultList& lvapply() const { return m_lvapply; }
    ResultList& lvall() { return m_lvall; }
    ResultList& lvapply() { return m_lvapply; }
    // A category's result list by name ("lvsp"); nothing when not built.
    ResultList* list(std::string_view name);
    const ResultList* list(std::string_view name) const;

    // The backups view's list: "Backup File", "Date Create", "Time Create".
    const ResultList& LVbackup() const { return m_LVbackup; }
    ResultList& LVbackup() { return m_LVbackup; }
    const OptimizerPanel& optimizer() const { return m_optimizer; }
    OptimizerPanel& optimizer() { return m_optimizer; }
    // The undo file the last repair wrote (empty: none yet).
    const std::string& lastUndo() const { return m_lastUndo; }

    const Badge& Oberror() const { return m_badges[0]; }
    const Badge& obmainerror() const { return m_badges[1]; }
    const Badge& obpriv() const { return m_badges[2]; }
    const std::array<Badge, 3>& badges() const { return m_badges; }

    // Whether a list, button or panel is shown ("lvall", "OBsp3", "OBhelp").
    bool shown(std::string_view control) const { return m_shown.count(std::string(control)) > 0; }
    const std::set<std::string>& shownControls() const { return m_shown; }
    // The caption of a select toggle ("OBall1", "OBsp1", "OBhis1").
    std::string buttonCaption(std::string_view button) const;

    const std::vector<Category>& categories() const { return m_categories; }
    const Category* category(std::string_view scanAction) const;
    // The category of a row of lvall (computer) or lvapply (applications);
    // nothing for row 0 and for a category not built yet.
    const Category* categoryOfRow(SummaryMode mode, int row) const;
    // The count of a category: its rows, or the recycle-bin count.
    int count(const Category& c) const;
    // The items of a pop-up menu: its categories in the order of their
    // summary rows; in the applications menu only those whose application
    // has a row.
    std::vector<const Category*> menuItems(Menu menu) const;
    // The category whose view an opener shows ("RunningWhileStartup1Click").
    const Category* categoryOfOpener(std::string_view opener) const;

    // --- summary buttons ------------------------------------------------------
    void OBall2Click();  // "Scan Your PC Now": the complete scan, then repair all if `autorepair` is "1"
    void OBall4Click();  // "Repair Errors Now !"
    void OBscanpcClick();  // "Back to Main Menu": the summary refresh
    void OBall1Click();  // "Unselect All" / "Select All" of the summary
    void OBall3Click();  // "Detail Items"
    void lvallSelect(int row);
    void lvallDblClick();
    void lvapplySelect(int row);
    void lvapplyDblClick();

    // The complete scan and repair all of the current mode, as the buttons run
    // them but without the automatic repair (the command line's steps).
    void completeScan();
    void repairAll();
    // The categories the last complete scan ran, in the order it ran them.
    const std::vector<const Category*>& lastScanned() const { return m_lastScanned; }

    // --- category panel ---------------------------------------------------------
    void CB1Categories0Items0Click();  // " Registry ": summary refresh, registry menu
    void CB1Categories0Items1Click();  // " Privacy Threats": summary refresh, privacy menu
    void CB1Categories0Items2Click();  // " Applications": the applications summary

    // --- category views -----------------------------------------------------------
    void openView(const Category& c);       // the view opener (menu item, double-click, "Detail Items")
    void refreshView(const Category& c);    // "Refresh": scans again
    void toggleSelect(const Category& c);   // "Unselect All" / "Select All"
    void removeChecked(const Category& c);  // "Remove Checked Items"
    // "Ignore Items": the selected row goes into the category's ignore list
    // and leaves the result list; counts, badges and the summary stay.
    void ignoreItems(const Category& c, std::optional<int> selectedRow);
    // The shared buttons, on the active view.
    void OBhis1Click();
    void OBhis3Click();
    void OBhis4Click();

    // --- backups and the optimizer ------------------------------------------------
    void CB1Categories1Items0Click();  // " Backups": the backups view, its list read from the folder
    void OBbackupClick();              // "Create Backup Now"
    // The backup action: the registry editor's export, paced 0-70 and 70-100
    // at 150 ms; the row of a backup that succeeded goes into LVbackup.
    Status backupreg();
    void OBrestorebackupClick(std::optional<int> selectedRow);  // "Restore Selected Backup"
    void OBdeletebackupClick(std::optional<int> selectedRow);   // "Delete Selected"
    void CB1Categories1Items3Click();  // " Registry Optimizer": the optimizer view
    void OBoptimizeClick();            // "Optimize Now": the read-only walk

    // One tick of a blink timer: "Timer1" (Oberror), "Timer4" (obmainerror), "Timer3" (obpriv).
    void timerTick(std::string_view timer);
    // The close handler: writes `autoscan` = "0".
    void FormClose();

    // Hides every view and stops the blink timers.
    void hideAllViews();
    // Hides every view, then shows the given panels and buttons: the views
    // of the window that run no category (About, Settings).
    void showPanel(std::initializer_list<std::string_view> controls);

private:
    // Runs a handler; an error it raises ends it and goes to the error box.
    void guarded(const std::function<void()>& handler);

    std::string setting(std::string_view name) const;
    void setStatus(std::string text);
    ResultList& listOf(const Category& c);
    const Category* categoryOfView(int view) const;

    void buildSummaryLists();
    bool applicationPresent(std::size_t index) const;
    ResultList& summaryList(SummaryMode mode) { return mode == SummaryMode::Computer ? m_lvall : m_lvapply; }
    void setRowCount(ResultList& summary, std::size_t row, std::string text);
    void setSummaryCount(const Category& c, std::string text);
    int rowCount(const ResultList& summary, std::size_t row) const;
    int registryErrors() const;
    int privacyThreats() const;
    int recentLists() const;
    // What repair all repairs: the totals of the mode's summary.
    int repairableTotal() const;
    void refreshCounts(SummaryMode mode);
    void updateSummaryBadges();

    void checkTable() const;
    void runScan(const Category& c);
    void runRepair(const Category& c);
    // Runs repairs with the store's journal on, then writes the undo file of
    // what they took from the registry; when it cannot be written, what they
    // took goes back and nothing of it is saved.
    void undoable(const std::function<void()>& repairs);
    // The two drivers, for the current mode.
    void completeScanOfMode();
    void repairAllOfMode();
    bool backupBeforeRepair();
    std::optional<std::string> selectedBackup(std::optional<int> row);
    // After a restore read the registry anew: no list or summary holds what
    // was found in the registry of before.
    void registryRestored();
    void summaryRefresh();
    void showSummary(SummaryMode mode);
    void detailsDispatch();
    bool selectToggle(ResultList& list, std::string& caption);

    ScanContext& m_ctx;
    Frontend& m_frontend;
    std::vector<Category> m_categories;
    std::map<std::string, ResultList, std::less<>> m_lists;
    std::function<Status()> m_backupreg;

    SummaryMode m_mode = SummaryMode::Computer;
    std::string m_autoscan;
    std::string m_status;
    std::string m_labeldeep;
    int m_lastCount = 0;
    std::map<std::string, bool, std::less<>> m_scanned;
    std::string m_selectedCategory;
    std::string m_panelItem;
    int m_activeView = 0;
    std::array<bool, 29> m_allSelected{};
    bool m_detailItemsEnabled = false;
    std::optional<int> m_lvallSelected;
    std::optional<int> m_lvapplySelected;
    std::vector<const Category*> m_lastScanned;

    ResultList m_lvall;
    ResultList m_lvapply;
    ResultList m_LVbackup;
    OptimizerPanel m_optimizer;
    std::string m_lastUndo;
    std::array<Badge, 3> m_badges;
    std::set<std::string> m_shown;
    std::map<std::string, std::string, std::less<>> m_selectCaptions;
};

}  // namespace kestrane
