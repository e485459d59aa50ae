#include "cli/Cli.h"

#include <algorithm>

#include <CLI/CLI.hpp>

#include "cli/BackupCommands.h"
#include "cli/PrefixesCommand.h"
#include "cli/ScanCommand.h"
#include "cli/UndoCommand.h"

namespace kestrane::cli {

Cli::Cli(Io io) : m_io(io) {
    m_commands.push_back(std::make_unique<ScanCommand>(ScanCommand::Kind::Scan));
    m_commands.push_back(std::make_unique<ScanCommand>(ScanCommand::Kind::Repair));
    for (auto kind : {BackupCommand::Kind::Backup, BackupCommand::Kind::List, BackupCommand::Kind::Restore,
                      BackupCommand::Kind::Delete, BackupCommand::Kind::Optimize})
        m_commands.push_back(std::make_unique<BackupCommand>(kind));
    m_commands.push_back(std::make_unique<UndoCommand>());
    m_commands.push_back(std::make_unique<PrefixesCommand>());
}

Cli::~Cli() = default;

int Cli::run(const std::vector<std::string>& args) {
    CLI::App app{"Kestrane Professional: finds and removes stale registry entries and traces of use in a Wine prefix",
                 "kestrane-cli"};
    auto* prefix = app.add_option("--prefix", m_options.prefix, "The Wine prefix (default: $WINEPREFIX, else ~/.wine)");
    auto* demo = app.add_flag("--demo", m_options.demo, "Use the demo prefix (made on first use)");
    auto* reset = app.add_flag("--demo-reset", m_options.demoReset, "Make the demo prefix anew and use it");
    prefix->excludes(demo);
    prefix->excludes(reset);
    app.add_flag("--pace", m_options.pace, "Pace the progress as the window does (30 ms a step)");
    app.require_subcommand(1);
    for (auto& command : m_commands)
        command->addTo(app);

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, m_io.out, m_io.err) == 0 ? kExitOk : kExitUsage;
    }
    for (auto& command : m_commands)
        if (command->chosen()) return command->execute(m_options, m_io);
    return kExitUsage;
}

}  // namespace kestrane::cli
