#include "cli/BackupCommands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "backup/BackupFolder.h"
#include "cli/Session.h"

namespace kestrane::cli {

namespace {

nlohmann::ordered_json rowJson(const BackupRow& row, const std::filesystem::path& folder) {
    return {{"file", row.file}, {"path", (folder / row.file).string()}, {"date", row.date}, {"time", row.time}};
}

}  // namespace

void BackupCommand::addTo(CLI::App& app) {
    switch (m_kind) {
    case Kind::Backup:
        m_app = app.add_subcommand("backup", "Back up the whole registry into the backups folder");
        m_app->add_flag("--json", m_json, "Print one JSON object");
        break;
    case Kind::List:
        m_app = app.add_subcommand("backups", "List the registry backups");
        m_app->add_flag("--json", m_json, "Print one JSON array");
        break;
    case Kind::Restore:
        m_app = app.add_subcommand("restore", "Load a registry backup back into the registry");
        m_app->add_option("NAME", m_name, "The backup's file name")->required();
        break;
    case Kind::Delete:
        m_app = app.add_subcommand("delete-backup", "Delete a registry backup");
        m_app->add_option("NAME", m_name, "The backup's file name")->required();
        break;
    case Kind::Optimize:
        m_app = app.add_subcommand("optimize", "Run the registry optimizer's walk (it only reads the registry)");
        break;
    }
    m_app->fallthrough();
}

bool BackupCommand::chosen() const { return m_app && m_app->parsed(); }

int BackupCommand::optimize(const GlobalOptions& options, Io& io) {
    auto opened = Session::open(options, io);
    if (auto* status = std::get_if<int>(&opened)) return *status;
    MainWindowModel& model = std::get<std::unique_ptr<Session>>(opened)->model();
    std::size_t keys = 0, values = 0;
    std::string lastNode, lastValue;
    model.optimizer().stepped = [&](const OptimizerPanel& p) {
        if (p.labelnode != lastNode) ++keys;
        if (p.labelvalues != lastValue) ++values;
        lastNode = p.labelnode;
        lastValue = p.labelvalues;
    };
    model.OBoptimizeClick();
    model.optimizer().stepped = nullptr;
    const OptimizerPanel& panel = model.optimizer();
    io.out << panel.hivetext << "\n" << panel.labelvalues << "\n"
           << "Keys shown: " << keys << ", value names shown: " << values << "\n"
           << model.status() << "\n";
    return kExitOk;
}

int BackupCommand::execute(const GlobalOptions& options, Io& io) {
    if (m_kind == Kind::Optimize) return optimize(options, io);
    if ((m_kind == Kind::Restore || m_kind == Kind::Delete) && !backup::plainFileName(m_name)) {
        io.err << "kestrane-cli: \"" << m_name << "\" is not a file of the backups folder: give its file name only\n";
        return kExitUsage;
    }
    auto opened = Session::open(options, io);
    if (auto* status = std::get_if<int>(&opened)) return *status;
    Session& session = *std::get<std::unique_ptr<Session>>(opened);
    backup::BackupFolder& backups = session.computer().backups();
    // Only a new backup makes the folder; reading it adds nothing to the prefix.
    auto folder = backups.hostFolder(m_kind == Kind::Backup);
    if (!folder) {
        io.err << "kestrane-cli: " << folder.error().message << "\n";
        return kExitFailure;
    }

    switch (m_kind) {
    case Kind::Backup: {
        MainWindowModel& model = session.model();
        Status made = model.backupreg();
        session.frontend().finish();
        if (!made) {
            io.err << "kestrane-cli: the registry backup failed: " << made.error().message << "\n";
            return kExitFailure;
        }
        const BackupRow& row = model.LVbackup().rows().empty()
                                   ? BackupRow{}
                                   : BackupRow{model.LVbackup().rows().back().caption,
                                               model.LVbackup().rows().back().subitem(0),
                                               model.LVbackup().rows().back().subitem(1)};
        if (m_json)
            io.out << rowJson(row, *folder).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
        else
            io.out << (*folder / row.file).string() << "\n";
        return kExitOk;
    }
    case Kind::List: {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const auto& row : backups.list()) {
            if (m_json)
                rows.push_back(rowJson(row, *folder));
            else
                io.out << row.file << "\t" << row.date << "\t" << row.time << "\n";
        }
        if (m_json) io.out << rows.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
        return kExitOk;
    }
    case Kind::Restore: {
        if (auto pid = backups.wineServer()) {
            io.err << "kestrane-cli: a wineserver (pid " << *pid << ") serves " << session.prefix().string()
                   << ". Close all Wine programs of this prefix first; nothing was changed.\n";
            return kExitRefused;
        }
        Status restored = backups.restore(m_name, {});
        if (!restored) {
            io.err << "kestrane-cli: " << restored.error().message << "\n";
            return restored.error().kind == ErrorKind::NotFound ? kExitUsage : kExitFailure;
        }
        io.out << "Restored " << (*folder / m_name).string() << "\n";
        return kExitOk;
    }
    case Kind::Optimize:
        break;
    case Kind::Delete: {
        Status removed = backups.remove(m_name);
        if (!removed) {
            io.err << "kestrane-cli: " << removed.error().message << "\n";
            return removed.error().kind == ErrorKind::NotFound ? kExitUsage : kExitFailure;
        }
        return kExitOk;
    }
    }
    return kExitUsage;
}

}  // namespace kestrane::cli
