#pragma once
// The file lists: the recent documents and seven privacy categories show one
// row per file in the same five columns, and share one repair, which deletes
// the file "Path Location" + caption of every checked row.

#include <string>
#include <string_view>
#include <vector>

#include "results/Category.h"

namespace kestrane {

// "File Names" 180, "Repair Report" 100, "Detail Info" 220, "Path Location" 250, "Size" 100.
std::vector<Column> fileListColumns();

// A path split into its folder (with the trailing "\") and its name.
struct FolderAndName {
    std::string folder;
    std::string name;
};
FolderAndName splitAtLastBackslash(std::string_view path);

// Appends the checked row of the file folder + name: caption the name,
// "Remove", `detail`, the folder, and the size text of the file. A file the
// program would refuse to delete (its real place is outside the prefix's
// drive_c) is not offered: no row, false.
bool addFileRow(ScanContext& ctx, ResultList& list, const std::string& folder, const std::string& name,
                std::string_view detail);
// The same for a full path.
bool addFileRow(ScanContext& ctx, ResultList& list, std::string_view path, std::string_view detail);

// One place a file scan searches: folder (with its trailing "\") and mask.
struct FileSource {
    std::string folder;
    std::string mask;
};
// The entries every source lists ("." and ".." left out), as full paths, in
// the order of the sources and of each listing.
std::vector<std::string> listSources(ScanContext& ctx, const std::vector<FileSource>& sources);

// The file-list repair: for every checked row the file "Path Location" +
// caption is deleted (through the platform's confined deletion), the
// unchecked rows stay; ramps 0-30 and 30-100.
void fileListRepair(ScanContext& ctx, ResultList& list);

}  // namespace kestrane
