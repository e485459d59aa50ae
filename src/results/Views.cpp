// The category views: hiding every view, the view opener, "Refresh", the
// select toggle, "Ignore Items", "Remove Checked Items", the shared buttons
// of the views with a view number, and the blink timers.

#include <exception>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/RegFile.h"
#include "results/Backups.h"
#include "results/MainWindowModel.h"

namespace kestrane {

namespace {

constexpr std::string_view kUnselectAll = "Unselect All";
constexpr std::string_view kSelectAll = "Select All";
constexpr std::array<std::string_view, 4> kSharedButtons{"OBhis1", "obhis2", "OBhis3", "OBhis4"};

}  // namespace

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

void MainWindowModel::undoable(const std::function<void()>& repairs) {
    if (!m_ctx.undo || m_ctx.store.journaling()) {
        repairs();
        return;
    }
    m_ctx.store.startJournal();
    std::exception_ptr failure;
    try {
        repairs();
    } catch (...) {
        failure = std::current_exception();
    }
    std::vector<reg::Removal> removed = m_ctx.store.stopJournal();
    if (!removed.empty()) {
        const std::string file = reg::undoFile(std::move(removed));
        auto written = m_ctx.undo->write(file);
        if (written) {
            m_lastUndo = written.value();
            m_frontend.undoWritten(m_lastUndo);
        } else {
            // Nothing is saved that could not be undone: the registry is read
            // again as it is on disk (or, held in memory only, given back what
            // was taken).
            if (!m_ctx.store.reload()) (void)reg::importRegistry(m_ctx.store, file, "undo");
            m_frontend.showError("The undo file could not be written: " + written.error().message +
                                 ". The registry was left as it was.");
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void MainWindowModel::runRepair(const Category& c) {
    undoable([&] {
        std::optional<files::FileAction> action;
        if (m_ctx.files) action.emplace(*m_ctx.files);
        c.repairAction(m_ctx, listOf(c));
    });
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
            if (c.isPrivacyView())
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

}  // namespace kestrane
