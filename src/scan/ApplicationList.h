#pragma once
// The application lists: one layout of five columns, two row shapes (a file
// row, a registry row marked by "Registry Data" in "File Type") and one
// repair with four modes, shared by every application's recent list.

#include <string>
#include <string_view>
#include <vector>

#include "results/Category.h"
#include "scan/RegistryList.h"

namespace kestrane {

inline constexpr std::string_view kRegistryData = "Registry Data";

// "File Name" 150, "File Location" 250, "File Type" 80, "File Info" 200,
// and "File Size" 80 unless withSize is false.
std::vector<Column> applicationListColumns(bool withSize = true);

// The extension of a name with its dot: the text from its last "." on;
// empty when it has none.
std::string extensionOf(std::string_view name);

// A file row for the entry at `path`: caption its name, its folder with the
// trailing "\", its extension, `info`, and (withSize) its size text. An
// entry the program would refuse to delete is not offered: false.
bool addApplicationFileRow(ScanContext& ctx, ResultList& list, std::string_view path, std::string_view info,
                           bool withSize = true);

// A registry row: caption `name`, the source's location, "Registry Data",
// `info`, an empty size.
void addApplicationRegistryRow(ResultList& list, const RegistrySource& source, const std::string& name,
                               std::string info);

// Registry rows for every name the sources take, "File Info" the value's
// data through the registry string read.
void addRegistryValueRows(ScanContext& ctx, ResultList& list, const std::vector<RegistrySource>& sources);

// What a checked registry row deletes.
enum class ApplicationRepair {
    Value,        // the value named by the caption (current user, then local machine)
    ValueAndKey,  // the value, then the subkey of that name with its subtree
    Key,          // the subkey named by the caption with its subtree
    FilesOnly,    // every row is a file row
};

// The application list repair: a checked file row deletes the file "File
// Location" + caption, a checked registry row what the mode says; the
// unchecked rows stay. Ramps 0-30 and 30-100.
void applicationListRepair(ScanContext& ctx, ResultList& list, ApplicationRepair mode);

}  // namespace kestrane
