#include "scan/MachineViews.h"

#include "platform/Wow64.h"

namespace kestrane {

using reg::Root;

std::optional<std::string> MachineView::software(std::string_view keyPath) const {
    if (!wow64)
        return std::string(keyPath);
    auto path = reg::wow64KeyPath(keyPath);
    if (!path || reg::reachesThroughLink(*store, Root::LocalMachine, *path))
        return std::nullopt;
    return path;
}

std::optional<std::string> MachineView::classes(std::string_view keyPath) const {
    if (!wow64)
        return std::string(keyPath);
    const bool leading = !keyPath.empty() && keyPath.front() == '\\';
    std::string path = (leading ? "\\" : "") + std::string(reg::kWow64Node) + '\\' +
                       std::string(leading ? keyPath.substr(1) : keyPath);
    if (reg::reachesThroughLink(*store, Root::ClassesRoot, path))
        return std::nullopt;
    return path;
}

std::vector<MachineView> machineViews(const ScanContext& ctx) {
    std::vector<MachineView> views{{false, &ctx.store, ctx.files, ctx.probe, ctx.folders}};
    if (ctx.wow64)
        views.push_back({true, &ctx.store, ctx.wow64->files, ctx.wow64->probe, ctx.wow64->folders});
    return views;
}

}  // namespace kestrane
