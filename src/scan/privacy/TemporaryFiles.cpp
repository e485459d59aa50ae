// Temporary Files: the .tmp files of the system's temporary folder, then of
// the user's. Wine has no "Local Settings" folder: without it the user's
// temporary folder is the TEMP variable of the user's environment.

#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/FileList.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

// The user's own TEMP variable (HKCU\Environment), its references expanded
// in the environment Wine gives a program; empty when the user has none:
// the machine's TEMP is the system's folder, searched already.
std::string usersTemp(ScanContext& ctx) {
    auto key = ctx.store.openKey(reg::Root::CurrentUser, "Environment", reg::KEY_READ);
    auto value = key ? ctx.store.queryValue(*key, "TEMP") : std::nullopt;
    if (!value || value->text().empty())
        return {};
    return files::PrefixEnvironment::read(ctx.store).expand(value->text());
}

}  // namespace

void temp_files(ScanContext& ctx, ResultList& lvdel) {
    using reg::Root;
    const std::string systemRoot =
        reg::regReadString(ctx.store, Root::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
    const std::string localSettings = reg::regReadString(
        ctx.store, Root::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Local Settings");
    // A folder that is not known is not searched: the mask would name no
    // temporary folder then.
    std::vector<FileSource> sources;
    if (!systemRoot.empty())
        sources.push_back({systemRoot + "\\Temp\\", "*.tmp"});
    if (!localSettings.empty()) {
        sources.push_back({localSettings + "\\Temp\\", "*.tmp"});
    } else if (std::string temp = usersTemp(ctx); !temp.empty()) {
        if (temp.back() == '\\')
            temp.pop_back();
        sources.push_back({temp + "\\", "*.tmp"});
    }
    for (const auto& path : listSources(ctx, sources))
        addFileRow(ctx, lvdel, path, "All items listed in History Folder");
    ctx.ramp(0, 100);
}

void removetemp(ScanContext& ctx, ResultList& lvdel) { fileListRepair(ctx, lvdel); }

}  // namespace kestrane
