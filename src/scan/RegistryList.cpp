#include "scan/RegistryList.h"

#include "platform/Registry.h"
#include "scan/MachineViews.h"
#include "scan/RowRepair.h"

namespace kestrane {

std::vector<std::string> takenNames(ScanContext& ctx, const RegistrySource& source) {
    std::vector<std::string> names = source.subkeys ? reg::listKeyNames(ctx.store, source.root, source.keyPath)
                                                    : reg::listValueNames(ctx.store, source.root, source.keyPath);
    std::vector<std::string> taken;
    for (auto& name : names) {
        bool take = true;
        switch (source.take) {
        case Take::All:
            break;
        case Take::AllButMRUList:
            take = name != "MRUList";
            break;
        case Take::Named:
            take = !name.empty();
            break;
        case Take::Only:
            take = name == source.only;
            break;
        }
        if (take)
            taken.push_back(std::move(name));
    }
    return taken;
}

std::string locationOf(const RegistrySource& source) { return locationText(source.root, source.keyPath); }

std::string valueData(ScanContext& ctx, const RegistrySource& source, const std::string& name) {
    return reg::regReadString(ctx.store, source.root, source.keyPath, name);
}

std::vector<RegistrySource> sourceViews(const ScanContext& ctx, const RegistrySource& source) {
    std::vector<RegistrySource> views{source};
    if (source.root != reg::Root::LocalMachine)
        return views;
    for (const auto& view : machineViews(ctx)) {
        if (!view.wow64)
            continue;
        if (auto key = view.software(source.keyPath)) {
            views.push_back(source);
            views.back().keyPath = *key;
        }
    }
    return views;
}

void scanRegistrySources(ScanContext& ctx, const std::vector<RegistrySource>& sources,
                         const std::function<void(const RegistrySource&, const std::string&)>& addRow) {
    for (const auto& source : sources)
        for (const auto& view : sourceViews(ctx, source))
            for (const auto& name : takenNames(ctx, view))
                addRow(view, name);
}

}  // namespace kestrane
