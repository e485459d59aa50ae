#include "cli/UndoCommand.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "backup/BackupFolder.h"
#include "cli/Session.h"

namespace kestrane::cli {

void UndoCommand::addTo(CLI::App& app) {
    m_app = app.add_subcommand("undo", "List the undo files of repairs, or load one back into the registry");
    auto* list = m_app->add_flag("--list", m_list, "List the undo files, the oldest first");
    m_app->add_flag("--json", m_json, "With --list: print one JSON array");
    auto* name = m_app->add_option("NAME", m_name, "The undo file to load back");
    list->excludes(name);
    m_app->fallthrough();
}

bool UndoCommand::chosen() const { return m_app && m_app->parsed(); }

int UndoCommand::execute(const GlobalOptions& options, Io& io) {
    if (!m_list && m_name.empty()) {
        io.err << "kestrane-cli: undo: give --list, or the name of an undo file\n";
        return kExitUsage;
    }
    if (m_json && !m_list) {
        io.err << "kestrane-cli: undo: --json goes with --list\n";
        return kExitUsage;
    }
    if (!m_list && !backup::plainFileName(m_name)) {
        io.err << "kestrane-cli: \"" << m_name << "\" is not a file of the undo folder: give its file name only\n";
        return kExitUsage;
    }
    auto opened = Session::open(options, io);
    if (auto* status = std::get_if<int>(&opened)) return *status;
    Session& session = *std::get<std::unique_ptr<Session>>(opened);
    backup::UndoFolder& undo = session.computer().undo();
    auto folder = undo.hostFolder(false);
    if (!folder) {
        io.err << "kestrane-cli: " << folder.error().message << "\n";
        return kExitFailure;
    }
    if (m_list) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const auto& row : undo.list()) {
            if (m_json)
                rows.push_back({{"file", row.file},
                                {"path", (*folder / row.file).string()},
                                {"date", row.date},
                                {"time", row.time}});
            else
                io.out << row.file << "\t" << row.date << "\t" << row.time << "\n";
        }
        if (m_json) io.out << rows.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
        return kExitOk;
    }
    Status applied = undo.apply(m_name);
    if (!applied) {
        io.err << "kestrane-cli: " << applied.error().message << "\n";
        switch (applied.error().kind) {
        case ErrorKind::WineRunning:
        case ErrorKind::ChangedOnDisk: return kExitRefused;
        case ErrorKind::NotFound: return kExitUsage;  // no undo file of that name
        default: return kExitFailure;
        }
    }
    io.out << "Loaded back " << (*folder / m_name).string() << "\n";
    return kExitOk;
}

}  // namespace kestrane::cli
