#include "results/MainWindowModel.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "results/SummaryRows.h"

namespace kestrane {

const std::array<std::string_view, 36> kScanActions{
    "Startup", "Uninstall", "Privacy",  "FileExt",   "ActiveX",    "Deep",      "VirtualDevice", "Cookies",
    "history", "temp_files", "recycle", "clip",      "dump",       "chk",       "log",           "tempie",
    "advanced", "fontreg",  "helpfile", "Obsolete",  "mspaint",    "mswordpad", "mmc",           "regedit",
    "winplay", "msoffice",  "operabro", "mozillabro", "winwinzip", "winwinrar", "acrobat5",      "acrobat6",
    "acrobat7", "Nero",     "dap",      "Flashplay"};

namespace {

constexpr std::string_view kSettingsKey = "Software\\KestranePro";
constexpr std::string_view kUnselectAll = "Unselect All";
constexpr std::string_view kSelectAll = "Select All";
constexpr std::array<std::string_view, 4> kSharedButtons{"OBhis1", "obhis2", "OBhis3", "OBhis4"};
constexpr std::array<std::string_view, 4> kSummaryButtons{"OBall1", "OBall2", "OBall3", "OBall4"};

const std::vector<Column> kSummaryColumns{{"Scanned Items", 210}, {"Number of Errors", 100}, {"Category", 100}};

bool isSummaryCaption(std::string_view caption, bool application) {
    if (!application)
        return std::any_of(kComputerRows.begin() + 1, kComputerRows.end(),
                           [&](const ComputerRow& r) { return r.caption == caption; });
    return std::find(kApplets.begin(), kApplets.end(), caption) != kApplets.end() ||
           std::any_of(kOptionalApplications.begin(), kOptionalApplications.end(),
                       [&](const OptionalApplication& a) { return a.caption == caption; });
}

}  // namespace

// ------------------------------------------------------------------ creation

MainWindowModel::MainWindowModel(ScanContext& ctx, Frontend& frontend, std::vector<Category> categories)
    : m_ctx(ctx), m_frontend(frontend), m_categories(std::move(categories)),
      m_lvall("lvall", kSummaryColumns), m_lvapply("lvapply", kSummaryColumns),
      m_badges{Badge{.name = "Oberror", .timer = "Timer1"}, Badge{.name = "obmainerror", .timer = "Timer4"},
               Badge{.name = "obpriv", .timer = "Timer3"}} {
    for (auto action : kScanActions)
        m_scanned.emplace(action, false);
    // A mistake in the category table shows at once, not as a row the drivers skip.
    std::set<int> views;
    for (const auto& c : m_categories) {
        if (!m_scanned.count(c.scan))
            throw std::logic_error("unknown scan action " + c.scan);
        if (!m_lists.emplace(c.list, ResultList(c.list, {})).second)
            throw std::logic_error("two categories share the list " + c.list);
        if (!isSummaryCaption(c.summaryRow, c.family == BadgeFamily::Recentlist))
            throw std::logic_error("no summary row " + c.summaryRow + " for " + c.scan);
        if (c.viewNumber != 0 && (c.viewNumber < 1 || c.viewNumber > 28 || !views.insert(c.viewNumber).second))
            throw std::logic_error("view number " + std::to_string(c.viewNumber) + " of " + c.scan);
    }

    m_ctx.letMessagesRun = [this] { m_frontend.processMessages(); };
    m_ctx.statusLabel = [this](const std::string& text) { m_labeldeep = text; };

    m_mode = SummaryMode::Computer;
    m_autoscan = setting("autoscan");
    // The privacy views on the shared buttons start with everything selected.
    for (int view : {1, 2, 3, 5, 6, 7, 8, 9, 10})
        m_allSelected[static_cast<std::size_t>(view)] = true;
    setStatus("Status : Ready");
    showSummary(SummaryMode::Computer);
    buildSummaryLists();
}

MainWindowModel::~MainWindowModel() {
    m_ctx.letMessagesRun = nullptr;
    m_ctx.statusLabel = nullptr;
}

void MainWindowModel::buildSummaryLists() {
    for (std::size_t row = 0; row < kComputerRows.size(); ++row) {
        const auto& r = kComputerRows[row];
        if (row == kBackupRow)
            m_lvall.add(std::string(r.caption), {""}, setting("autobackup") == "1");
        else
            m_lvall.add(std::string(r.caption), {"0", std::string(r.category)}, r.checkedAtStart);
    }
    for (auto applet : kApplets)
        m_lvapply.add(std::string(applet), {"0", "Applications"});
    for (std::size_t i = 0; i < kOptionalApplications.size(); ++i)
        if (applicationPresent(i))
            m_lvapply.add(std::string(kOptionalApplications[i].caption), {"0", "Applications"});
}

bool MainWindowModel::applicationPresent(std::size_t index) const {
    const auto& app = kOptionalApplications[index];
    if (!app.byKey) {
        if (!m_ctx.files || !m_ctx.folders || m_ctx.folders->appData.empty())
            return false;
        return m_ctx.files->folderExists(m_ctx.folders->appData + std::string(app.path));
    }
    reg::TRegistry r(m_ctx.store);
    r.setRootKey(app.root);
    return r.openKey(app.path, false) && r.keyExists(app.path);
}

// ------------------------------------------------------------------ helpers

template <class F>
void MainWindowModel::guarded(F&& handler) {
    // An error raised inside an action ends the whole handler; the toolkit
    // shows it in its standard error box.
    try {
        handler();
    } catch (const std::exception& e) {
        m_frontend.showError(e.what());
    }
}

std::string MainWindowModel::setting(std::string_view name) const {
    return reg::regReadString(m_ctx.store, reg::Root::CurrentUser, kSettingsKey, name);
}

void MainWindowModel::setStatus(std::string text) {
    m_status = std::move(text);
    m_frontend.statusChanged(m_status);
}

bool MainWindowModel::scanned(std::string_view action) const {
    auto it = m_scanned.find(action);
    return it != m_scanned.end() && it->second;
}

bool MainWindowModel::allSelected(int view) const {
    return view >= 1 && view <= 28 && m_allSelected[static_cast<std::size_t>(view)];
}

std::string MainWindowModel::buttonCaption(std::string_view button) const {
    auto it = m_selectCaptions.find(button);
    return it == m_selectCaptions.end() ? std::string(kUnselectAll) : it->second;
}

ResultList* MainWindowModel::list(std::string_view name) {
    auto it = m_lists.find(name);
    return it == m_lists.end() ? nullptr : &it->second;
}

const ResultList* MainWindowModel::list(std::string_view name) const {
    auto it = m_lists.find(name);
    return it == m_lists.end() ? nullptr : &it->second;
}

ResultList& MainWindowModel::listOf(const Category& c) { return m_lists.find(c.list)->second; }

const Category* MainWindowModel::category(std::string_view scanAction) const {
    for (const auto& c : m_categories)
        if (c.scan == scanAction) return &c;
    return nullptr;
}

const Category* MainWindowModel::categoryOfRow(SummaryMode mode, int row) const {
    const ResultList& summary = mode == SummaryMode::Computer ? m_lvall : m_lvapply;
    if (row < 0 || static_cast<std::size_t>(row) >= summary.count()) return nullptr;
    if (mode == SummaryMode::Computer && row == kBackupRow) return nullptr;
    const std::string& caption = summary.rows()[static_cast<std::size_t>(row)].caption;
    bool application = mode == SummaryMode::Applications;
    for (const auto& c : m_categories)
        if ((c.family == BadgeFamily::Recentlist) == application && c.summaryRow == caption) return &c;
    return nullptr;
}

const Category* MainWindowModel::categoryOfView(int view) const {
    if (view == 0) return nullptr;
    for (const auto& c : m_categories)
        if (c.viewNumber == view) return &c;
    return nullptr;
}

int MainWindowModel::count(const Category& c) const {
    if (c.countsRecycleBin) return m_ctx.recycleCount;
    return static_cast<int>(list(c.list)->count());
}

void MainWindowModel::setRowCount(ResultList& summary, std::size_t row, std::string text) {
    auto& subitems = summary.rows()[row].subitems;
    if (subitems.empty()) subitems.resize(1);
    subitems[0] = std::move(text);
}

void MainWindowModel::setSummaryCount(const Category& c, std::string text) {
    ResultList& summary = c.family == BadgeFamily::Recentlist ? m_lvapply : m_lvall;
    for (std::size_t row = 0; row < summary.count(); ++row)
        if (summary.rows()[row].caption == c.summaryRow) {
            setRowCount(summary, row, std::move(text));
            return;
        }
}

int MainWindowModel::rowCount(const ResultList& summary, std::size_t row) const {
    const std::string& text = summary.rows()[row].subitem(0);
    int n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

int MainWindowModel::registryErrors() const {
    int total = 0;
    for (std::size_t row = 1; row < m_lvall.count(); ++row)
        if (isRegistryRow(static_cast<int>(row))) total += rowCount(m_lvall, row);
    return total;
}

int MainWindowModel::privacyThreats() const {
    int total = 0;
    for (std::size_t row = 1; row < m_lvall.count(); ++row)
        if (isPrivacyRow(static_cast<int>(row))) total += rowCount(m_lvall, row);
    return total;
}

int MainWindowModel::recentLists() const {
    int total = 0;
    for (std::size_t row = 0; row < m_lvapply.count(); ++row)
        total += rowCount(m_lvapply, row);
    return total;
}

// Every row's count from its category's list (the recycle bin from its
// count); rows of categories not built keep their text.
void MainWindowModel::refreshCounts(SummaryMode mode) {
    ResultList& summary = summaryList(mode);
    for (std::size_t row = 0; row < summary.count(); ++row)
        if (const Category* c = categoryOfRow(mode, static_cast<int>(row)))
            setRowCount(summary, row, std::to_string(count(*c)));
}

void MainWindowModel::updateSummaryBadges() {
    Badge& priv = m_badges[2];
    if (m_mode == SummaryMode::Computer) {
        priv.setCount(BadgeFamily::Privacy, privacyThreats(), true);
        priv.visible = true;
        m_badges[1].setCount(BadgeFamily::Registry, registryErrors(), true);
        m_badges[1].visible = true;
    } else {
        priv.setCount(BadgeFamily::Recentlist, recentLists(), true);
        priv.visible = true;
    }
}

// ------------------------------------------------------------------ views

void MainWindowModel::hideAllViews() {
    m_shown.clear();
    for (auto& b : m_badges) {
        b.visible = false;
        b.blinking = false;
    }
}

void MainWindowModel::showPanel(std::initializer_list<std::string_view> controls) {
    hideAllViews();
    for (auto control : controls)
        m_shown.emplace(control);
}

void MainWindowModel::showSummary(SummaryMode mode) {
    m_mode = mode;
    hideAllViews();
    for (auto button : kSummaryButtons)
        m_shown.emplace(button);
    m_shown.emplace("OBhelp");
    m_shown.emplace(mode == SummaryMode::Computer ? "lvall" : "lvapply");
}

void MainWindowModel::timerTick(std::string_view timer) {
    for (auto& b : m_badges)
        if (b.timer == timer) b.tick();
}

// The scan frame: the list emptied and given its columns, the progress bar
// at 0 before and after, and the category's count left in the last count.
void MainWindowModel::runScan(const Category& c) {
    ResultList& l = listOf(c);
    m_ctx.setProgress(0);
    l.clear();
    l.setColumns(c.columns);
    {
        std::optional<files::FileAction> action;
        if (m_ctx.files) action.emplace(*m_ctx.files);
        c.scanAction(m_ctx, l);
    }
    m_lastCount = count(c);
    m_ctx.setProgress(0);
}

void MainWindowModel::runRepair(const Category& c) {
    {
        std::optional<files::FileAction> action;
        if (m_ctx.files) action.emplace(*m_ctx.files);
        c.repairAction(m_ctx, listOf(c));
    }
    m_lastCount = count(c);
    m_ctx.setProgress(0);
}

void MainWindowModel::openView(const Category& c) {
    guarded([&] {
        hideAllViews();
        if (c.usesSharedButtons()) {
            m_activeView = c.viewNumber;
            for (auto button : kSharedButtons)
                m_shown.emplace(button);
            // The privacy views restore the caption their view last left.
            if (c.family == BadgeFamily::Privacy)
                m_selectCaptions["OBhis1"] = allSelected(c.viewNumber) ? kUnselectAll : kSelectAll;
        } else {
            for (const auto& button : c.buttons)
                if (!button.empty()) m_shown.emplace(button);
        }
        m_shown.emplace(c.list);
        m_shown.emplace("OBhelp");
        setStatus(c.openerStatus.before);
        m_frontend.processMessages();
        if (!scanned(c.scan)) {
            runScan(c);
            m_scanned[c.scan] = true;
        }
        int n = count(c);
        m_badges[0].setCount(c.family, n, false);
        m_badges[0].visible = true;
        setStatus(c.openerStatus.after);
        setSummaryCount(c, std::to_string(n));
    });
}

void MainWindowModel::refreshView(const Category& c) {
    m_scanned[c.scan] = false;
    openView(c);
}

bool MainWindowModel::selectToggle(ResultList& l, std::string& caption) {
    bool check = caption != kUnselectAll;
    for (auto& row : l.rows())
        row.checked = check;
    caption = check ? kUnselectAll : kSelectAll;
    return check;
}

void MainWindowModel::toggleSelect(const Category& c) {
    if (!c.hasSelectToggle)
        return;
    std::string button = c.usesSharedButtons() ? "OBhis1" : c.buttons[0];
    std::string caption = buttonCaption(button);
    bool all = selectToggle(listOf(c), caption);
    m_selectCaptions[button] = caption;
    if (c.usesSharedButtons()) m_allSelected[static_cast<std::size_t>(c.viewNumber)] = all;
}

void MainWindowModel::ignoreItems(const Category& c, std::optional<int> selectedRow) {
    ResultList& list = listOf(c);
    if (c.ignoreCode.empty() || !selectedRow || *selectedRow < 0 ||
        static_cast<std::size_t>(*selectedRow) >= list.count() || !m_ctx.ignore)
        return;
    const ResultRow row = list.rows()[static_cast<std::size_t>(*selectedRow)];
    Status written = m_ctx.ignore(c.ignoreCode, row.caption, row.subitem(2));
    if (!written) {
        m_frontend.showError(written.error().message);  // the row stays
        return;
    }
    list.rows().erase(list.rows().begin() + *selectedRow);
}

void MainWindowModel::removeChecked(const Category& c) {
    if (!c.repairAction) return;
    guarded([&] {
        setStatus(c.removeStatus.before);
        m_frontend.processMessages();
        runRepair(c);
        int n = count(c);
        Badge& badge = m_badges[0];
        if (c.removeReport == RemoveReport::RowsLeft) {
            badge.setCount(BadgeFamily::Registry, n, true);
        } else if (n == 0) {
            badge.setCount(c.family == BadgeFamily::Recentlist ? BadgeFamily::Recentlist : BadgeFamily::Registry, 0,
                           true);
        }
        badge.visible = true;
        setStatus(c.removeStatus.after);
        setSummaryCount(c, c.removeReport == RemoveReport::RowsLeft ? std::to_string(n) : "0");
    });
}

void MainWindowModel::OBhis1Click() {
    if (const Category* c = categoryOfView(m_activeView)) toggleSelect(*c);
}

void MainWindowModel::OBhis3Click() {
    if (const Category* c = categoryOfView(m_activeView)) removeChecked(*c);
}

void MainWindowModel::OBhis4Click() {
    if (const Category* c = categoryOfView(m_activeView)) refreshView(*c);
}

// ------------------------------------------------------------------ summary

void MainWindowModel::summaryRefresh() {
    showSummary(SummaryMode::Computer);
    std::string backup = setting("autobackup");
    if (backup == "1") m_lvall.rows()[kBackupRow].checked = true;
    if (backup == "0") m_lvall.rows()[kBackupRow].checked = false;
    refreshCounts(SummaryMode::Computer);
    updateSummaryBadges();
}

void MainWindowModel::OBscanpcClick() {
    guarded([&] { summaryRefresh(); });
}

void MainWindowModel::CB1Categories0Items0Click() {
    m_panelItem = " Registry ";
    OBscanpcClick();
    m_frontend.popupMenu("pabregistry");
}

void MainWindowModel::CB1Categories0Items1Click() {
    m_panelItem = " Privacy Threats";
    OBscanpcClick();
    m_frontend.popupMenu("pabprivacy");
}

void MainWindowModel::CB1Categories0Items2Click() {
    m_panelItem = " Applications";
    guarded([&] {
        showSummary(SummaryMode::Applications);
        refreshCounts(SummaryMode::Applications);
        updateSummaryBadges();
    });
    m_frontend.popupMenu("pabapply");
}

void MainWindowModel::OBall1Click() {
    std::string caption = buttonCaption("OBall1");
    selectToggle(summaryList(m_mode), caption);
    m_selectCaptions["OBall1"] = caption;
}

void MainWindowModel::lvallSelect(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_lvall.count()) {
        m_lvallSelected.reset();
        return;
    }
    m_lvallSelected = row;
    m_selectedCategory = m_lvall.rows()[static_cast<std::size_t>(row)].caption;
    m_detailItemsEnabled = true;
}

void MainWindowModel::lvapplySelect(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_lvapply.count())
        m_lvapplySelected.reset();
    else
        m_lvapplySelected = row;
}

void MainWindowModel::lvallDblClick() {
    if (!m_lvallSelected) return;
    m_selectedCategory = m_lvall.rows()[static_cast<std::size_t>(*m_lvallSelected)].caption;
    detailsDispatch();
}

void MainWindowModel::OBall3Click() {
    if (m_detailItemsEnabled) detailsDispatch();
}

// The selected category looked up among the rows of lvall: its panel item
// is selected and its view opened. Row 0 and other captions do nothing.
void MainWindowModel::detailsDispatch() {
    for (std::size_t row = 1; row < m_lvall.count(); ++row) {
        if (m_lvall.rows()[row].caption != m_selectedCategory) continue;
        const Category* c = categoryOfRow(SummaryMode::Computer, static_cast<int>(row));
        if (!c) return;
        m_panelItem = isPrivacyRow(static_cast<int>(row)) ? " Privacy Threats" : " Registry ";
        openView(*c);
        return;
    }
}

void MainWindowModel::lvapplyDblClick() {
    if (!m_lvapplySelected) return;
    m_selectedCategory = m_lvapply.rows()[static_cast<std::size_t>(*m_lvapplySelected)].caption;
    const Category* c = categoryOfRow(SummaryMode::Applications, *m_lvapplySelected);
    if (!c) return;
    m_panelItem = " Applications";
    openView(*c);
}

void MainWindowModel::FormClose() {
    guarded([&] { reg::regWriteString(m_ctx.store, reg::Root::CurrentUser, kSettingsKey, "autoscan", "0"); });
}

// ------------------------------------------------------------------ drivers

void MainWindowModel::OBall2Click() {
    guarded([&] {
        if (m_mode == SummaryMode::Applications) {
            completeScanApplications();
            return;
        }
        completeScanComputer();
        std::string autorepair = setting("autorepair");
        m_frontend.processMessages();
        if (autorepair == "1") repairAllComputer();
    });
}

void MainWindowModel::OBall4Click() { repairAll(); }

void MainWindowModel::completeScan() {
    guarded([&] {
        if (m_mode == SummaryMode::Computer)
            completeScanComputer();
        else
            completeScanApplications();
    });
}

void MainWindowModel::repairAll() {
    guarded([&] {
        if (m_mode == SummaryMode::Computer)
            repairAllComputer();
        else
            repairAllApplications();
    });
}

void MainWindowModel::completeScanComputer() {
    m_badges[2].visible = false;
    m_badges[0].visible = false;
    m_badges[1].visible = false;
    setRowCount(m_lvall, kBackupRow, "");
    for (std::size_t row = 1; row < m_lvall.count(); ++row)
        setRowCount(m_lvall, row, "0");
    for (std::size_t row = 1; row < m_lvall.count(); ++row) {
        const Category* c = categoryOfRow(SummaryMode::Computer, static_cast<int>(row));
        if (!c || !m_lvall.rows()[row].checked) continue;
        setStatus(c->scanStatus.before);
        m_frontend.processMessages();
        runScan(*c);
        m_scanned[c->scan] = true;
        setRowCount(m_lvall, row, kComputerRows[row].writesScanCount ? std::to_string(m_lastCount) : "0");
        setStatus(c->scanStatus.after);
    }
    setStatus("Status : Complete Scan Your PC");
    updateSummaryBadges();
}

void MainWindowModel::completeScanApplications() {
    m_badges[2].visible = false;
    for (std::size_t row = 0; row < m_lvapply.count(); ++row)
        setRowCount(m_lvapply, row, "0");
    for (std::size_t row = 0; row < m_lvapply.count(); ++row) {
        const Category* c = categoryOfRow(SummaryMode::Applications, static_cast<int>(row));
        if (!c || !m_lvapply.rows()[row].checked) continue;
        setStatus(c->scanStatus.before);
        m_frontend.processMessages();
        runScan(*c);
        m_scanned[c->scan] = true;
        setRowCount(m_lvapply, row, std::to_string(m_lastCount));
        setStatus(c->scanStatus.after);
    }
    setStatus("Status : Complete Scan Your PC");
    updateSummaryBadges();
}

// Runs the backup that row 0 asks for. A backup that is not available or
// fails is reported, and then nothing may be repaired.
bool MainWindowModel::backupBeforeRepair() {
    if (!m_lvall.rows()[kBackupRow].checked) return true;
    setStatus("Status : Backing up Registry");
    m_frontend.processMessages();
    Status done = m_backupreg ? m_backupreg()
                              : Status(makeError(ErrorKind::Failure, "no registry backup is available"));
    if (!done) {
        updateSummaryBadges();
        m_frontend.showError("The registry backup failed: " + done.error().message +
                             ". Nothing was repaired.");
        return false;
    }
    setStatus("Status : Created Backup");
    return true;
}

void MainWindowModel::repairAllComputer() {
    refreshCounts(SummaryMode::Computer);
    if (registryErrors() == 0 && privacyThreats() == 0) return;
    m_badges[1].visible = false;
    m_badges[2].visible = false;
    if (!backupBeforeRepair()) return;
    for (std::size_t row = 1; row < m_lvall.count(); ++row) {
        const Category* c = categoryOfRow(SummaryMode::Computer, static_cast<int>(row));
        if (!c || !m_lvall.rows()[row].checked) continue;
        setStatus(c->repairStatus.before);
        m_frontend.processMessages();
        if (c->repairAction) {
            runRepair(*c);
            setRowCount(m_lvall, row, std::to_string(m_lastCount));
        }
        setStatus(c->repairStatus.after);
    }
    endOfRepair();
}

void MainWindowModel::repairAllApplications() {
    refreshCounts(SummaryMode::Applications);
    if (recentLists() == 0) return;
    m_badges[2].visible = false;
    for (std::size_t row = 0; row < m_lvapply.count(); ++row) {
        const Category* c = categoryOfRow(SummaryMode::Applications, static_cast<int>(row));
        if (!c || !m_lvapply.rows()[row].checked) continue;
        setStatus(c->repairStatus.before);
        m_frontend.processMessages();
        if (c->repairAction) {
            runRepair(*c);
            setRowCount(m_lvapply, row, std::to_string(m_lastCount));
        }
        setStatus(c->repairStatus.after);
    }
    endOfRepair();
}

void MainWindowModel::endOfRepair() {
    setStatus("Status : Repair Complete");
    updateSummaryBadges();
    if (setting("autoclose") == "1") m_frontend.terminate();
}

}  // namespace kestrane
