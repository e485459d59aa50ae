#pragma once
// What the command line prints after a scan or a repair: the summary list
// of the mode, the badges, and every category list with rows, as text or as
// one JSON object.

#include <filesystem>
#include <ostream>

#include <nlohmann/json.hpp>

#include "results/MainWindowModel.h"

namespace kestrane::cli {

nlohmann::ordered_json reportJson(const MainWindowModel& model, const std::filesystem::path& prefix);
void printReport(const MainWindowModel& model, const std::filesystem::path& prefix, std::ostream& out);

}  // namespace kestrane::cli
