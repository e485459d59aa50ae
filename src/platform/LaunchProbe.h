#pragma once
// The launch probe: whether a command line names a program that could be
// started. The program file is found by the system's rules, but nothing is
// ever started.
//
// - A quoted program path is taken as it is.
// - An unquoted command line is tried up to each blank in turn
//   ("C:\Program Files\A B\x.exe /q": C:\Program, C:\Program Files\A, ...).
// - ".exe" is added to a name without an extension.
// - A name without a folder is searched in the search folders: the
//   program's folder, system32, the Windows folder, then the PATH of the
//   prefix's environment.
// The command line itself is not expanded: "%SystemRoot%\x.exe" names nothing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStore.h"

namespace kestrane::files {

class FileSystem;

class LaunchProbe {
public:
    static constexpr std::size_t kMaxCommandLine = 512;  // longer command lines are cut

    LaunchProbe(FileSystem& files, std::vector<std::string> searchFolders);

    // The search folders of a prefix: appFolder (when not empty),
    // systemRoot\system32, systemRoot, then the folders of the PATH value
    // of HKLM\System\CurrentControlSet\Control\Session Manager\Environment,
    // its %variables% expanded from the values of that key (SystemRoot and
    // windir default to systemRoot).
    static std::vector<std::string> prefixSearchFolders(reg::RegistryStore& store, std::string_view systemRoot,
                                                        std::string_view appFolder = {});

    // The Windows path of the program file the command line names.
    std::optional<std::string> findProgram(std::string_view commandLine) const;

    // 1 when the command cannot be started (no program file), 0 when it can.
    // The show-window code is accepted for the callers' sake and not used.
    int probe(std::string_view commandLine, int showWindow = 0) const;

    const std::vector<std::string>& searchFolders() const { return m_searchFolders; }

private:
    std::optional<std::string> findFile(std::string_view name) const;

    FileSystem& m_files;
    std::vector<std::string> m_searchFolders;
};

// Expands %NAME% from the given lookup (names compared without regard to
// case); unknown names and a lone '%' stay as they are.
std::string expandVariables(std::string_view text,
                            const std::vector<std::pair<std::string, std::string>>& variables);

}  // namespace kestrane::files
