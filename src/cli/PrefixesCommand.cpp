#include "cli/PrefixesCommand.h"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <sstream>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "computer/PrefixFinder.h"
#include "platform/TextOps.h"

namespace kestrane::cli {

namespace {

// A file time as local time ("2026-12-09 18:04") or as UTC in ISO 8601.
std::string timeText(std::filesystem::file_time_type when, bool utc) {
    const auto system = std::chrono::file_clock::to_sys(when);
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
    std::tm parts{};
    if (utc ? !::gmtime_r(&t, &parts) : !::localtime_r(&t, &parts)) return {};
    std::ostringstream out;
    out << std::put_time(&parts, utc ? "%Y-%m-%dT%H:%M:%SZ" : "%Y-%m-%d %H:%M");
    return out.str();
}

std::string bits(const std::string& arch) {
    if (arch == "win64") return "64-bit";
    if (arch == "win32") return "32-bit";
    return "?";
}

}  // namespace

void PrefixesCommand::addTo(CLI::App& app) {
    m_app = app.add_subcommand("prefixes", "List every Wine prefix found on this machine");
    m_app->add_flag("--json", m_json, "Print one JSON object");
    m_app->fallthrough();
}

bool PrefixesCommand::chosen() const { return m_app && m_app->parsed(); }

int PrefixesCommand::execute(const GlobalOptions&, Io& io) {
    FindResult found = findPrefixes(finderInputFromEnvironment());
    for (const auto& warning : found.warnings) io.err << "kestrane-cli: " << warning << "\n";
    if (m_json) {
        using json = nlohmann::ordered_json;
        json prefixes = json::array();
        for (const auto& p : found.prefixes)
            prefixes.push_back({{"name", p.name},
                                {"source", p.source},
                                {"path", p.path.string()},
                                {"realPath", p.realPath.string()},
                                {"arch", p.arch.empty() ? json(nullptr) : json(p.arch)},
                                {"sizeOnDisk", p.sizeOnDisk},
                                {"registryWritten", p.registryWritten ? json(timeText(*p.registryWritten, true))
                                                                      : json(nullptr)},
                                {"wineServer", p.wineServer ? json(*p.wineServer) : json(nullptr)}});
        json doc{{"prefixes", std::move(prefixes)}, {"warnings", found.warnings}};
        io.out << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
        return kExitOk;
    }
    if (found.prefixes.empty()) {
        io.out << "No Wine prefix found.\n";
        return kExitOk;
    }
    io.out << std::left << std::setw(28) << "Name" << std::setw(20) << "Found by" << std::setw(8) << "Bits"
           << std::setw(12) << "Size" << std::setw(18) << "Registry written" << std::setw(12) << "Wine" << "Path\n";
    for (const auto& p : found.prefixes) {
        const std::string wine = p.wineServer ? "pid " + std::to_string(*p.wineServer) : "-";
        io.out << std::setw(28) << p.name << std::setw(20) << p.source << std::setw(8) << bits(p.arch)
               << std::setw(12) << text::sizeText(std::to_string(p.sizeOnDisk)) << std::setw(18)
               << (p.registryWritten ? timeText(*p.registryWritten, false) : "-") << std::setw(12) << wine
               << p.path.string() << "\n";
    }
    return kExitOk;
}

}  // namespace kestrane::cli
