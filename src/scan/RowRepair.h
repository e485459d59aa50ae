#pragma once
// What every repair shares: each checked row's item is deleted, the
// unchecked rows are kept (in the hidden list LVback) and put back,
// unchecked; and the deletion of a value or key named by a row's location.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/RegistryStore.h"
#include "results/Category.h"

namespace kestrane {

// Runs the shared repair on `list` with `deleteRow` for each checked row:
// ramp 0-30, the rows walked, the list emptied, ramp 30-100, the kept rows
// put back. A failed deletion is not reported: its row leaves the list all
// the same.
void repairCheckedRows(ScanContext& ctx, ResultList& list, const std::function<void(const ResultRow&)>& deleteRow);

// One step of the progress bar while findings come in: forward unless it
// is at `limit` or beyond, then a pause.
void stepProgress(ScanContext& ctx, int limit);

// "HKCU", "HKLM" or "HKCR": how a location text names a root.
std::string_view rootAbbreviation(reg::Root root);
// The location text of a key: "HKCU\" + the key path.
std::string locationText(reg::Root root, std::string_view keyPath);

// The location text less its root abbreviation: "HKCU\Software\x" minus
// "HKCU" gives "\Software\x", a path from the root.
std::string locationPath(std::string_view location, std::string_view abbreviation);

enum class Deletes {
    Value,   // the value of that name
    Subkey,  // the subkey of that name, with its whole subtree
};

// For each root in turn, a new registry wrapper opens the location less the
// root's abbreviation without creating it and, where it opens, deletes the
// value or subkey `name`. A location of another hive keeps its own
// abbreviation under a root that is not its own, so it opens nothing there.
// Failures are not reported. A subkey name that is empty or holds a '\'
// (a value's name can) names no subkey: nothing is deleted for it.
void deleteAtLocation(ScanContext& ctx, std::string_view location, std::initializer_list<reg::Root> roots,
                      const std::string& name, Deletes what);

}  // namespace kestrane
