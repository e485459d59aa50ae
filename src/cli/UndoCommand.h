#pragma once
// "undo": the undo files that repairs wrote before they changed the registry.
//   undo --list [--json]   lists them, the oldest first, with the date and time of their names
//   undo NAME              loads one back into the registry (refused while a wineserver runs)
// NAME is a file of the undo folder; a name with a folder part is refused.

#include <string>

#include "cli/Command.h"

namespace kestrane::cli {

class UndoCommand final : public Command {
public:
    void addTo(CLI::App& app) override;
    bool chosen() const override;
    int execute(const GlobalOptions& options, Io& io) override;

private:
    CLI::App* m_app = nullptr;
    bool m_list = false;
    bool m_json = false;
    std::string m_name;
};

}  // namespace kestrane::cli
