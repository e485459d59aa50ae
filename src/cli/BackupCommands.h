#pragma once
// The registry backups from the command line:
//   backup                makes one (the registry editor's export) and prints its path
//   backups               lists them, with the date and time their names give
//   restore NAME          loads one back (refused while a wineserver runs)
//   delete-backup NAME    deletes one
//   optimize              the registry optimizer's walk, which only reads
// NAME is a file of the backups folder; a name with a folder part is refused.

#include <string>

#include "cli/Command.h"

namespace kestrane::cli {

class BackupCommand final : public Command {
public:
    enum class Kind { Backup, List, Restore, Delete, Optimize };
    explicit BackupCommand(Kind kind) : m_kind(kind) {}

    void addTo(CLI::App& app) override;
    bool chosen() const override;
    int execute(const GlobalOptions& options, Io& io) override;

private:
    int optimize(const GlobalOptions& options, Io& io);

    Kind m_kind;
    CLI::App* m_app = nullptr;
    bool m_json = false;
    std::string m_name;
};

}  // namespace kestrane::cli
