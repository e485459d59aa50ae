// The main window model: its creation handler, the check of the category
// table, and what the other parts of the model share.

#include "results/MainWindowModel.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <stdexcept>

#include "platform/Registry.h"
#include "results/SummaryRows.h"

namespace kestrane {

namespace {

constexpr std::string_view kSettingsKey = "Software\\KestranePro";
constexpr std::string_view kUnselectAll = "Unselect All";

const std::vector<Column> kSummaryColumns{{"Scanned Items", 210}, {"Number of Errors", 100}, {"Category", 100}};

// The "Category" column of the computer summary row with this caption;
// nothing when lvall has no such row.
std::optional<std::string_view> computerRowColumn(std::string_view caption) {
    for (std::size_t row = 1; row < kComputerRows.size(); ++row)
        if (kComputerRows[row].caption == caption) return kComputerRows[row].category;
    return std::nullopt;
}

bool isApplicationCaption(std::string_view caption) {
    return std::find(kApplets.begin(), kApplets.end(), caption) != kApplets.end() ||
           std::any_of(kOptionalApplications.begin(), kOptionalApplications.end(),
                       [&](const OptionalApplication& a) { return a.caption == caption; });
}

std::vector<Category> withoutUnavailable(std::vector<Category> table, const ScanContext& ctx) {
    if (!ctx.clipboard)
        std::erase_if(table, [](const Category& c) { return c.needsClipboard; });
    return table;
}

}  // namespace

// ------------------------------------------------------------------ creation

MainWindowModel::MainWindowModel(ScanContext& ctx, Frontend& frontend, std::vector<Category> categories)
    : m_ctx(ctx), m_frontend(frontend), m_categories(withoutUnavailable(std::move(categories), ctx)),
      m_lvall("lvall", kSummaryColumns), m_lvapply("lvapply", kSummaryColumns),
      m_LVbackup("LVbackup", {{"Backup File", 300}, {"Date Create", 100}, {"Time Create", 100}}),
      m_badges{Badge{.name = "Oberror", .timer = "Timer1"}, Badge{.name = "obmainerror", .timer = "Timer4"},
               Badge{.name = "obpriv", .timer = "Timer3"}} {
    // A mistake in the category table shows at once, not as a row the drivers skip.
    checkTable();
    for (auto action : kScanActions)
        m_scanned.emplace(action, false);
    for (const auto& c : m_categories)
        m_lists.emplace(c.list, ResultList(c.list, {}));

    if (m_ctx.backups)
        m_backupreg = [this] { return backupreg(); };
    m_ctx.letMessagesRun = [this] { m_frontend.processMessages(); };
    m_ctx.statusLabel = [this](const std::string& text) { m_labeldeep = text; };

    m_mode = SummaryMode::Computer;
    m_autoscan = setting("autoscan");
    // The privacy views on the shared buttons start with everything selected.
    for (int view : kPrivacyViews)
        m_allSelected[static_cast<std::size_t>(view)] = true;
    setStatus("Status : Ready");
    showSummary(SummaryMode::Computer);
    buildSummaryLists();
}

MainWindowModel::~MainWindowModel() {
    m_ctx.letMessagesRun = nullptr;
    m_ctx.statusLabel = nullptr;
}

void MainWindowModel::checkTable() const {
    auto fail = [](const Category& c, const std::string& what) {
        throw std::logic_error("category table, " + c.scan + ": " + what);
    };
    std::set<std::string, std::less<>> scans, lists, openers, menuItems;
    std::set<int> views;
    for (const auto& c : m_categories) {
        if (std::find(kScanActions.begin(), kScanActions.end(), c.scan) == kScanActions.end())
            fail(c, "not a scan action with a scanned flag");
        if (!scans.insert(c.scan).second) fail(c, "a scan action named twice");
        if (c.list.empty() || !lists.insert(c.list).second) fail(c, "its list " + c.list + " is not its own");
        if (!c.scanAction) fail(c, "no scan action to run");
        if (c.repair.empty() != !c.repairAction) fail(c, "a repair name without its action, or the other way");
        if (c.family == BadgeFamily::Recentlist) {
            if (!isApplicationCaption(c.summaryRow)) fail(c, "no row \"" + c.summaryRow + "\" in lvapply");
        } else {
            auto column = computerRowColumn(c.summaryRow);
            if (!column) fail(c, "no row \"" + c.summaryRow + "\" in lvall");
            // The recent documents are a registry scanner among the privacy threats:
            // the badge wording follows the summary row.
            const bool privacyRow = *column == kPrivacyColumn;
            if (privacyRow != (c.family == BadgeFamily::Privacy))
                fail(c, "its family is not that of its summary row");
        }
        if (c.viewNumber != 0 && (c.viewNumber < 1 || c.viewNumber > 28 || !views.insert(c.viewNumber).second))
            fail(c, "view number " + std::to_string(c.viewNumber) + " out of range or taken");
        const bool amongPrivacyViews =
            std::find(kPrivacyViews.begin(), kPrivacyViews.end(), c.viewNumber) != kPrivacyViews.end();
        if (c.usesSharedButtons() && amongPrivacyViews != c.isPrivacyView())
            fail(c, "a privacy view on the shared buttons is one of the privacy views, and only it");
        if (!c.usesSharedButtons() && std::any_of(c.buttons.begin(), c.buttons.end(),
                                                  [](const std::string& b) { return b.empty(); }))
            fail(c, "a view of its own needs its four buttons");
        if (c.opener.empty() || !openers.insert(c.opener).second) fail(c, "no opener, or one named twice");
        if ((c.menu == Menu::None) != c.menuCaption.empty()) fail(c, "a menu without an item caption, or the other way");
        if (c.menu != Menu::None &&
            !menuItems.insert(std::string(menuName(c.menu)) + '/' + c.menuCaption).second)
            fail(c, "the menu item \"" + c.menuCaption + "\" is taken");
        if (c.family == BadgeFamily::Recentlist && c.menu != Menu::None && c.menu != Menu::Applications)
            fail(c, "an application's item belongs to the applications menu");
    }
}

// ------------------------------------------------------------------ helpers

void MainWindowModel::guarded(const std::function<void()>& handler) {
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

const Category* MainWindowModel::categoryOfOpener(std::string_view opener) const {
    for (const auto& c : m_categories)
        if (c.opener == opener) return &c;
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

std::vector<const Category*> MainWindowModel::menuItems(Menu menu) const {
    std::vector<const Category*> items;
    for (SummaryMode mode : {SummaryMode::Computer, SummaryMode::Applications}) {
        const ResultList& summary = mode == SummaryMode::Computer ? m_lvall : m_lvapply;
        for (std::size_t row = 0; row < summary.count(); ++row)
            if (const Category* c = categoryOfRow(mode, static_cast<int>(row)); c && c->menu == menu)
                items.push_back(c);
    }
    return items;
}

int MainWindowModel::count(const Category& c) const {
    if (c.countsRecycleBin) return m_ctx.recycleCount;
    return static_cast<int>(list(c.list)->count());
}

void MainWindowModel::FormClose() {
    guarded([&] { reg::regWriteString(m_ctx.store, reg::Root::CurrentUser, kSettingsKey, "autoscan", "0"); });
}

}  // namespace kestrane
