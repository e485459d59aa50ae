#pragma once
// "prefixes": every Wine prefix found on the machine (see PrefixFinder),
// with its name, where it was found, its path, 32 or 64 bits, its size on
// disk, when Wine last wrote its registry and whether a wineserver serves
// it now. Configuration files that could not be read are warned about on
// the error stream.

#include "cli/Command.h"

namespace kestrane::cli {

class PrefixesCommand final : public Command {
public:
    void addTo(CLI::App& app) override;
    bool chosen() const override;
    int execute(const GlobalOptions& options, Io& io) override;

private:
    CLI::App* m_app = nullptr;
    bool m_json = false;
};

}  // namespace kestrane::cli
