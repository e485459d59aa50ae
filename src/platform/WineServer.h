#pragma once
// Telling whether a wineserver serves a prefix, without starting one.

#include <filesystem>
#include <optional>
#include <sys/types.h>

namespace kestrane::reg {

// The pid of the wineserver that holds the lock of the prefix's server
// folder, or nothing when no server runs. Looks both in /tmp/.wine-<uid>/
// and in the folder that Debian's build names in <prefix>/wineserver.
std::optional<pid_t> runningWineServer(const std::filesystem::path& prefix);

}  // namespace kestrane::reg
