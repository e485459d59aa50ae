#include "scan/FileList.h"

#include "platform/FileSystem.h"
#include "platform/TextOps.h"
#include "scan/RowRepair.h"

namespace kestrane {

std::vector<Column> fileListColumns() {
    return {{"File Names", 180}, {"Repair Report", 100}, {"Detail Info", 220}, {"Path Location", 250}, {"Size", 100}};
}

FolderAndName splitAtLastBackslash(std::string_view path) {
    auto sep = path.rfind('\\');
    if (sep == std::string_view::npos)
        return {"", std::string(path)};
    return {std::string(path.substr(0, sep + 1)), std::string(path.substr(sep + 1))};
}

bool addFileRow(ScanContext& ctx, ResultList& list, const std::string& folder, const std::string& name,
                std::string_view detail) {
    if (!ctx.files)
        return false;
    auto size = ctx.files->deletableSize(folder + name);
    if (!size)
        return false;
    list.add(name, {"Remove", std::string(detail), folder, text::sizeText(std::to_string(*size))});
    return true;
}

bool addFileRow(ScanContext& ctx, ResultList& list, std::string_view path, std::string_view detail) {
    auto [folder, name] = splitAtLastBackslash(path);
    return addFileRow(ctx, list, folder, name, detail);
}

std::vector<std::string> listSources(ScanContext& ctx, const std::vector<FileSource>& sources) {
    std::vector<std::string> paths;
    if (!ctx.files)
        return paths;
    std::vector<std::string> names;
    for (const auto& s : sources) {
        ctx.files->listFolder(names, s.folder, s.mask);
        for (const auto& name : names)
            if (name != "." && name != "..")
                paths.push_back(s.folder + name);
    }
    return paths;
}

void fileListRepair(ScanContext& ctx, ResultList& list) {
    repairCheckedRows(ctx, list, [&](const ResultRow& row) {
        if (ctx.files)
            (void)ctx.files->deleteEntry(row.subitem(2) + row.caption);
    });
}

}  // namespace kestrane
