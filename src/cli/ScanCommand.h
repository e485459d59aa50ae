#pragma once
// "scan": the complete scan of the chosen rows, then the report.
// "repair": the complete scan, repair all of what it found, the registry
// saved, then the report. With --all, each in turn over every prefix found.

#include <functional>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace kestrane::cli {

class Session;

class ScanCommand final : public Command {
public:
    enum class Kind { Scan, Repair };
    explicit ScanCommand(Kind kind) : m_kind(kind) {}

    void addTo(CLI::App& app) override;
    bool chosen() const override;
    int execute(const GlobalOptions& options, Io& io) override;

private:
    // Checks the rows named by --only and unchecks the others; false (with
    // the message printed) when a name matches no row.
    bool applyOnly(Session& session, Io& io) const;
    int saveChanges(Session& session, Io& io) const;
    // The command on one prefix; `beforeReport` runs just before its report starts.
    int runOne(const GlobalOptions& options, Io& io, const std::function<void()>& beforeReport);

    Kind m_kind;
    CLI::App* m_app = nullptr;
    bool m_applications = false;
    bool m_json = false;
    bool m_all = false;
    std::vector<std::string> m_only;
    bool m_backup = false;
    bool m_noBackup = false;
};

}  // namespace kestrane::cli
