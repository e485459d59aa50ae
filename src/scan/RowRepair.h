#pragma once
// The repair every category shares: each checked row's item is deleted, the
// unchecked rows are kept (in the hidden list LVback) and put back, unchecked.

#include <functional>

#include "results/Category.h"

namespace kestrane {

// Runs the shared repair on `list` with `deleteRow` for each checked row.
// A failed deletion is not reported: its row leaves the list all the same.
void repairCheckedRows(ScanContext& ctx, ResultList& list, const std::function<void(const ResultRow&)>& deleteRow);

// One step of the progress bar while findings come in: forward unless it
// is at `limit` or beyond, then a pause.
void stepProgress(ScanContext& ctx, int limit);

// The location text less its root abbreviation: "HKCU\Software\x" minus
// "HKCU" gives "\Software\x", a path from the root.
std::string locationPath(std::string_view location, std::string_view abbreviation);

}  // namespace kestrane
