#pragma once
// The views of the machine's registry a registry category reads: the native
// one, then on a 64-bit prefix the 32-bit one (HKLM\Software\Wow6432Node,
// HKCR\Wow6432Node), each with the files as its programs see them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/Category.h"

namespace kestrane {

struct MachineView {
    bool wow64 = false;  // the 32-bit view of a 64-bit prefix
    const reg::RegistryStore* store = nullptr;
    files::FileSystem* files = nullptr;
    files::LaunchProbe* probe = nullptr;
    const files::SystemFolders* folders = nullptr;

    // The key of this view for a key path below the machine's Software
    // ("SOFTWARE\..." as written, a leading backslash kept). Nothing in the
    // 32-bit view when the key is reached through one of Wine's link keys:
    // what a link shows is read in the view it leads to.
    std::optional<std::string> software(std::string_view keyPath) const;
    // The same for a key path below HKEY_CLASSES_ROOT ("CLSID").
    std::optional<std::string> classes(std::string_view keyPath) const;
};

// The native view, then the 32-bit one when the prefix has it.
std::vector<MachineView> machineViews(const ScanContext& ctx);

}  // namespace kestrane
