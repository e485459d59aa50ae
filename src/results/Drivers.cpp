// The two drivers over the summary of the current mode: the complete scan
// ("Scan Your PC Now") and repair all ("Repair Errors Now !"), with the
// registry backup that repair all makes first when row 0 asks for it.

#include "results/MainWindowModel.h"
#include "results/SummaryRows.h"

namespace kestrane {

void MainWindowModel::OBall2Click() {
    guarded([&] {
        completeScanOfMode();
        if (m_mode == SummaryMode::Applications) return;  // no automatic repair here
        std::string autorepair = setting("autorepair");
        m_frontend.processMessages();
        if (autorepair == "1") repairAllOfMode();
    });
}

void MainWindowModel::OBall4Click() { repairAll(); }

void MainWindowModel::completeScan() {
    guarded([&] { completeScanOfMode(); });
}

void MainWindowModel::repairAll() {
    guarded([&] { repairAllOfMode(); });
}

void MainWindowModel::completeScanOfMode() {
    const bool computer = m_mode == SummaryMode::Computer;
    ResultList& summary = summaryList(m_mode);
    // The computer summary's first row is the backup switch, not a category.
    const std::size_t first = computer ? 1 : 0;
    m_badges[2].visible = false;
    if (computer) {
        m_badges[0].visible = false;
        m_badges[1].visible = false;
        setRowCount(summary, kBackupRow, "");
    }
    for (std::size_t row = first; row < summary.count(); ++row)
        setRowCount(summary, row, "0");
    m_lastScanned.clear();
    for (std::size_t row = first; row < summary.count(); ++row) {
        const Category* c = categoryOfRow(m_mode, static_cast<int>(row));
        if (!c || !summary.rows()[row].checked) continue;
        setStatus(c->scanStatus.before);
        m_frontend.processMessages();
        listOf(*c).clear();
        m_frontend.categoryStarting(*c, listOf(*c));
        runScan(*c);
        m_scanned[c->scan] = true;
        m_lastScanned.push_back(c);
        setRowCount(summary, row, c->writesScanCount ? std::to_string(m_lastCount) : "0");
        setStatus(c->scanStatus.after);
        m_frontend.categoryScanned(*c, listOf(*c));
    }
    setStatus("Status : Complete Scan Your PC");
    updateSummaryBadges();
}

// Runs the backup that row 0 asks for. A backup that is not available or
// fails is reported, and then nothing may be repaired.
bool MainWindowModel::backupBeforeRepair() {
    if (m_mode != SummaryMode::Computer || !m_lvall.rows()[kBackupRow].checked) return true;
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

void MainWindowModel::repairAllOfMode() {
    const bool computer = m_mode == SummaryMode::Computer;
    ResultList& summary = summaryList(m_mode);
    const std::size_t first = computer ? 1 : 0;
    refreshCounts(m_mode);
    if (repairableTotal() == 0) return;
    if (computer) m_badges[1].visible = false;
    m_badges[2].visible = false;
    if (!backupBeforeRepair()) return;
    // One undo file for the whole run.
    undoable([&] {
        for (std::size_t row = first; row < summary.count(); ++row) {
            const Category* c = categoryOfRow(m_mode, static_cast<int>(row));
            if (!c || !summary.rows()[row].checked) continue;
            setStatus(c->repairStatus.before);
            m_frontend.processMessages();
            if (c->repairAction) {
                runRepair(*c);
                setRowCount(summary, row, std::to_string(m_lastCount));
            }
            setStatus(c->repairStatus.after);
        }
    });
    setStatus("Status : Repair Complete");
    updateSummaryBadges();
    if (setting("autoclose") == "1") m_frontend.terminate();
}

}  // namespace kestrane
