#include "scan/ApplicationList.h"

#include "platform/FileSystem.h"
#include "platform/TextOps.h"
#include "scan/FileList.h"
#include "scan/RowRepair.h"

namespace kestrane {

using reg::Root;

std::vector<Column> applicationListColumns(bool withSize) {
    std::vector<Column> columns{{"File Name", 150}, {"File Location", 250}, {"File Type", 80}, {"File Info", 200}};
    if (withSize)
        columns.push_back({"File Size", 80});
    return columns;
}

std::string extensionOf(std::string_view name) {
    auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

bool addApplicationFileRow(ScanContext& ctx, ResultList& list, std::string_view path, std::string_view info,
                           bool withSize) {
    if (!ctx.files)
        return false;
    auto size = ctx.files->deletableSize(path);
    if (!size)
        return false;
    auto [folder, name] = splitAtLastBackslash(path);
    std::vector<std::string> subitems{folder, extensionOf(name), std::string(info)};
    if (withSize)
        subitems.push_back(text::sizeText(std::to_string(*size)));
    list.add(name, std::move(subitems));
    return true;
}

void addApplicationRegistryRow(ResultList& list, const RegistrySource& source, const std::string& name,
                               std::string info) {
    list.add(name, {locationOf(source), std::string(kRegistryData), std::move(info), ""});
}

void addRegistryValueRows(ScanContext& ctx, ResultList& list, const std::vector<RegistrySource>& sources) {
    scanRegistrySources(ctx, sources, [&](const RegistrySource& source, const std::string& name) {
        addApplicationRegistryRow(list, source, name, valueData(ctx, source, name));
    });
}

void applicationListRepair(ScanContext& ctx, ResultList& list, ApplicationRepair mode) {
    repairCheckedRows(ctx, list, [&](const ResultRow& row) {
        const std::string& location = row.subitem(0);
        if (mode == ApplicationRepair::FilesOnly || row.subitem(1) != kRegistryData) {
            if (ctx.files)
                (void)ctx.files->deleteEntry(location + row.caption);
            return;
        }
        if (mode != ApplicationRepair::Key)
            deleteAtLocation(ctx, location, {Root::CurrentUser, Root::LocalMachine}, row.caption, Deletes::Value);
        if (mode != ApplicationRepair::Value)
            deleteAtLocation(ctx, location, {Root::CurrentUser, Root::LocalMachine}, row.caption, Deletes::Subkey);
    });
}

}  // namespace kestrane
