// The two summary lists: their rows, their counts and totals, the summary
// badges, the summary refresh and the summary's buttons and double-clicks.

#include <charconv>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "platform/Wow64.h"
#include "results/MainWindowModel.h"
#include "results/SummaryRows.h"

namespace kestrane {

namespace {

constexpr std::array<std::string_view, 4> kSummaryButtons{"OBall1", "OBall2", "OBall3", "OBall4"};

}  // namespace

void MainWindowModel::buildSummaryLists() {
    for (std::size_t row = 0; row < kComputerRows.size(); ++row) {
        const auto& r = kComputerRows[row];
        if (row == kBackupRow)
            m_lvall.add(std::string(r.caption), {""}, setting("autobackup") == "1");
        else
            m_lvall.add(std::string(r.caption), {"0", std::string(r.category)}, r.checkedAtStart);
    }
    for (auto applet : kApplets)
        m_lvapply.add(std::string(applet), {"0", std::string(kApplicationsColumn)});
    for (std::size_t i = 0; i < kOptionalApplications.size(); ++i)
        if (applicationPresent(i))
            m_lvapply.add(std::string(kOptionalApplications[i].caption), {"0", std::string(kApplicationsColumn)});
}

bool MainWindowModel::applicationPresent(std::size_t index) const {
    const auto& app = kOptionalApplications[index];
    if (!app.byKey) {
        if (!m_ctx.files || !m_ctx.folders || m_ctx.folders->appData.empty())
            return false;
        return m_ctx.files->folderExists(m_ctx.folders->appData + std::string(app.path));
    }
    auto found = [&](std::string_view path) {
        reg::TRegistry r(m_ctx.store);
        r.setRootKey(app.root);
        return r.openKey(path, false) && r.keyExists(path);
    };
    if (found(app.path))
        return true;
    // A 32-bit program's machine-wide key is in the 32-bit view of a 64-bit prefix.
    if (app.root != reg::Root::LocalMachine || !m_ctx.wow64)
        return false;
    auto path32 = reg::wow64KeyPath(app.path);
    return path32 && !reg::reachesThroughLink(m_ctx.store, app.root, *path32) && found(*path32);
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

int MainWindowModel::repairableTotal() const {
    return m_mode == SummaryMode::Computer ? registryErrors() + privacyThreats() : recentLists();
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

void MainWindowModel::showSummary(SummaryMode mode) {
    m_mode = mode;
    hideAllViews();
    for (auto button : kSummaryButtons)
        m_shown.emplace(button);
    m_shown.emplace("OBhelp");
    m_shown.emplace(mode == SummaryMode::Computer ? "lvall" : "lvapply");
}

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
    m_frontend.popupMenu(menuName(Menu::Registry));
}

void MainWindowModel::CB1Categories0Items1Click() {
    m_panelItem = " Privacy Threats";
    OBscanpcClick();
    m_frontend.popupMenu(menuName(Menu::Privacy));
}

void MainWindowModel::CB1Categories0Items2Click() {
    m_panelItem = " Applications";
    guarded([&] {
        showSummary(SummaryMode::Applications);
        refreshCounts(SummaryMode::Applications);
        updateSummaryBadges();
    });
    m_frontend.popupMenu(menuName(Menu::Applications));
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

}  // namespace kestrane
