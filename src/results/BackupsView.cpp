// The backups view (" Backups": LVbackup with "Create Backup Now", "Restore
// Selected Backup" and "Delete Selected"), the backup action that repair all
// runs first, and the optimizer view.

#include "platform/Registry.h"
#include "results/MainWindowModel.h"

namespace kestrane {

namespace {

constexpr int kBackupStep = 150;  // milliseconds a step of the backup and restore
constexpr int kDeleteStep = 50;
constexpr std::string_view kRefused = "Close all Wine programs of this prefix first; nothing was changed.";

void addRow(ResultList& list, const BackupRow& row) { list.add(row.file, {row.date, row.time}, false); }

}  // namespace

void MainWindowModel::CB1Categories1Items0Click() {
    guarded([&] {
        showPanel({"LVbackup", "OBbackup", "OBrestorebackup", "OBdeletebackup"});
        m_LVbackup.clear();
        if (m_ctx.backups)
            for (const auto& row : m_ctx.backups->list())
                addRow(m_LVbackup, row);
    });
}

Status MainWindowModel::backupreg() {
    if (!m_ctx.backups)
        return makeError(ErrorKind::Failure, "no registry backup is available");
    m_ctx.setProgress(0);
    auto made = m_ctx.backups->create([&] { m_ctx.ramp(0, 70, kBackupStep); });
    if (made) {
        addRow(m_LVbackup, made.value());
        m_ctx.ramp(70, 100, kBackupStep);
    }
    m_ctx.setProgress(0);
    if (!made)
        return made.error();
    return {};
}

void MainWindowModel::OBbackupClick() {
    guarded([&] {
        Status made = backupreg();
        if (!made) m_frontend.showError("The registry backup failed: " + made.error().message);
    });
}

std::optional<std::string> MainWindowModel::selectedBackup(std::optional<int> row) {
    if (!row || *row < 0 || static_cast<std::size_t>(*row) >= m_LVbackup.count()) {
        m_frontend.showMessage("Please select backup file");
        return std::nullopt;
    }
    return m_LVbackup.rows()[static_cast<std::size_t>(*row)].caption;
}

void MainWindowModel::OBrestorebackupClick(std::optional<int> selectedRow) {
    guarded([&] {
        auto file = selectedBackup(selectedRow);
        if (!file || !m_ctx.backups) return;
        // Wine would overwrite what the import writes, or the other way round.
        if (auto pid = m_ctx.backups->wineServer()) {
            m_frontend.showError("Wine is running on this prefix (wineserver pid " + std::to_string(*pid) + "). " +
                                 std::string(kRefused));
            return;
        }
        m_frontend.setTopmost(false);  // the registry editor's windows come above the window
        Status restored;
        // Asked of the registry before the restore: the backup may say otherwise.
        const bool vista = reg::isVista(m_ctx.store);
        if (vista) {
            // The user answers the registry editor's questions; we go on at once.
            restored = m_ctx.backups->startRestore(*file);
        } else {
            restored = m_ctx.backups->restore(*file, [&] {
                m_frontend.processMessages();
                m_ctx.ramp(0, 100, kBackupStep);
            });
        }
        m_ctx.setProgress(0);
        const std::string onTop = setting("alwaysontop");
        if (onTop == "1") m_frontend.setTopmost(true);
        if (onTop == "0") m_frontend.setTopmost(false);
        if (!restored) {
            m_frontend.showError("The backup was not restored: " + restored.error().message);
            return;
        }
        if (!vista) registryRestored();
    });
}

void MainWindowModel::registryRestored() {
    // What the lists hold was found in the registry as it was before: every
    // view scans anew when it next opens, and the summaries start again from
    // the restored registry (an application may have come or gone with it).
    for (auto& [action, scanned] : m_scanned)
        scanned = false;
    for (auto& [name, list] : m_lists)
        list.clear();
    m_lvall.clear();
    m_lvapply.clear();
    buildSummaryLists();
    m_frontend.registryReloaded();
}

void MainWindowModel::OBdeletebackupClick(std::optional<int> selectedRow) {
    guarded([&] {
        auto file = selectedBackup(selectedRow);
        if (!file) return;
        if (m_ctx.backups) (void)m_ctx.backups->remove(*file);  // the row goes whatever became of the file
        m_frontend.processMessages();
        m_ctx.ramp(0, 100, kDeleteStep);
        m_LVbackup.rows().erase(m_LVbackup.rows().begin() + *selectedRow);
        m_ctx.setProgress(0);
    });
}

void MainWindowModel::CB1Categories1Items3Click() { showPanel({"Panel4", "OBhelp", "OBoptimize"}); }

void MainWindowModel::OBoptimizeClick() {
    guarded([&] {
        setStatus("  Status : Running Optimizer");
        m_frontend.processMessages();
        if (m_ctx.optimize) m_ctx.optimize(m_ctx, m_optimizer);
        setStatus("  Status : Optimizing System Complete");
    });
}

}  // namespace kestrane
