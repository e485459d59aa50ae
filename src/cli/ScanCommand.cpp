#include "cli/ScanCommand.h"

#include <CLI/CLI.hpp>

#include "cli/Report.h"
#include "cli/Session.h"
#include "computer/PrefixFinder.h"
#include "platform/Text.h"
#include "platform/WineServer.h"
#include "results/SummaryRows.h"

namespace kestrane::cli {

void ScanCommand::addTo(CLI::App& app) {
    bool repair = m_kind == Kind::Repair;
    m_app = app.add_subcommand(repair ? "repair" : "scan",
                               repair ? "Scan, then repair everything found, and report what is left"
                                      : "Scan the prefix and report what was found");
    m_app->fallthrough();
    m_app->add_flag("--applications", m_applications, "The applications' recent lists instead of the computer");
    m_app->add_option("--only", m_only, "Only these summary rows (number, caption, list or action name)")
        ->delimiter(',');
    m_app->add_flag("--json", m_json, "Print one JSON object (with --all, an array of them)");
    m_app->add_flag("--all", m_all,
                    repair ? "Every prefix found (see 'prefixes'); those Wine runs on are skipped"
                           : "Every prefix found (see 'prefixes'), one report each");
    if (repair) {
        auto* backup = m_app->add_flag("--backup", m_backup, "Back up the registry first");
        auto* noBackup = m_app->add_flag("--no-backup", m_noBackup, "Do not back up the registry first");
        backup->excludes(noBackup);
    }
}

bool ScanCommand::chosen() const { return m_app && m_app->parsed(); }

bool ScanCommand::applyOnly(Session& session, Io& io) const {
    MainWindowModel& model = session.model();
    SummaryMode mode = model.mode();
    ResultList& summary = mode == SummaryMode::Computer ? model.lvall() : model.lvapply();
    std::size_t first = mode == SummaryMode::Computer ? 1 : 0;  // row 0 is the backup switch

    std::vector<bool> wanted(summary.count(), false);
    for (const auto& name : m_only) {
        bool found = false;
        for (std::size_t row = first; row < summary.count(); ++row) {
            const Category* c = model.categoryOfRow(mode, static_cast<int>(row));
            bool match = name == std::to_string(row) || text::equalNames(name, summary.rows()[row].caption) ||
                         (c && (name == c->list || name == c->scan));
            if (match) {
                wanted[row] = true;
                found = true;
            }
        }
        if (!found) {
            io.err << "kestrane-cli: --only: no summary row named '" << name << "'\n";
            return false;
        }
    }
    for (std::size_t row = first; row < summary.count(); ++row)
        summary.rows()[row].checked = wanted[row];
    return true;
}

int ScanCommand::saveChanges(Session& session, Io& io) const {
    if (!session.store().changed()) return kExitOk;
    Status saved = session.store().save();
    if (saved) return kExitOk;
    io.err << "kestrane-cli: the registry was not saved: " << saved.error().message << "\n";
    ErrorKind kind = saved.error().kind;
    return kind == ErrorKind::WineRunning || kind == ErrorKind::ChangedOnDisk ? kExitRefused : kExitFailure;
}

int ScanCommand::execute(const GlobalOptions& options, Io& io) {
    if (!m_all) return runOne(options, io, [] {});
    if (!options.prefix.empty() || options.demo || options.demoReset) {
        io.err << "kestrane-cli: --all runs over every prefix found: give no --prefix or --demo with it\n";
        return kExitUsage;
    }
    FinderInput input = finderInputFromEnvironment();
    input.measureSizes = false;  // the reports do not show sizes
    FindResult found = findPrefixes(input);
    for (const auto& warning : found.warnings) io.err << "kestrane-cli: " << warning << "\n";
    if (found.prefixes.empty()) {
        io.err << "kestrane-cli: no Wine prefix found\n";
        return kExitPrefix;
    }
    // The worst outcome decides: a failure, else a refusal, else success.
    bool anyFailed = false, anyRefused = false;
    std::size_t reports = 0;
    if (m_json) io.out << "[\n";
    for (const auto& prefix : found.prefixes) {
        GlobalOptions one = options;
        one.prefix = prefix.path.string();
        if (!m_json) io.err << "kestrane-cli: " << prefix.name << " (" << prefix.source << "): " << one.prefix << "\n";
        int status = runOne(one, io, [&] {
            if (reports++) io.out << (m_json ? ",\n" : "\n");
        });
        if (status == kExitRefused) anyRefused = true;
        else if (status != kExitOk) anyFailed = true;
    }
    if (m_json) io.out << "]\n";
    return anyFailed ? kExitFailure : anyRefused ? kExitRefused : kExitOk;
}

int ScanCommand::runOne(const GlobalOptions& options, Io& io, const std::function<void()>& beforeReport) {
    bool repair = m_kind == Kind::Repair;
    auto opened = Session::open(options, io);
    if (auto* status = std::get_if<int>(&opened)) return *status;
    Session& session = *std::get<std::unique_ptr<Session>>(opened);

    if (repair) {
        if (auto pid = reg::runningWineServer(session.prefix())) {
            io.err << "kestrane-cli: a wineserver (pid " << *pid << ") serves " << session.prefix().string()
                   << ". Close all Wine programs of this prefix first; nothing was changed.\n";
            return kExitRefused;
        }
    }

    MainWindowModel& model = session.model();
    if (m_applications) model.CB1Categories0Items2Click();
    if (!m_only.empty() && !applyOnly(session, io)) return kExitUsage;
    if (repair && model.mode() == SummaryMode::Computer) {
        if (m_backup) model.lvall().rows()[kBackupRow].checked = true;
        if (m_noBackup) model.lvall().rows()[kBackupRow].checked = false;
        // The program's folders hold the backups: made when a backup is asked
        // for, so that a repair without one adds nothing to the prefix.
        if (model.lvall().rows()[kBackupRow].checked) session.folders().createProgramFolders(session.files());
    }

    // A scan writes each row as it is found and keeps none; a repair reports
    // what is left of the lists once it is done.
    std::unique_ptr<ReportWriter> report = m_json ? jsonReport(io.out) : textReport(io.out);
    report->beforeWrite([&] { session.frontend().finish(); });
    beforeReport();
    report->begin(model, session.prefix());
    if (!repair)
        session.frontend().onCategories(
            [&](const Category&, ResultList& list) {
                list.setSink([&](const ResultList& l, const ResultRow& r) { report->row(l, r); });
            },
            [&](const Category&, ResultList& list) {
                list.setSink(nullptr);
                report->listDone(list);
            });
    model.completeScan();
    session.frontend().onCategories(nullptr, nullptr);
    bool failed = !session.frontend().errors().empty();
    if (repair && !failed) {
        model.repairAll();
        failed = !session.frontend().errors().empty();
    }
    session.frontend().finish();

    int status = failed ? kExitFailure : kExitOk;
    if (repair) {
        int saved = saveChanges(session, io);
        if (saved != kExitOk) status = saved;
        for (const Category* c : model.lastScanned())
            if (const ResultList* l = model.list(c->list)) report->list(*l);
    }
    report->end(model);
    return status;
}

}  // namespace kestrane::cli
