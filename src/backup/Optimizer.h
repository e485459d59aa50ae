#pragma once
// The registry optimizer's walk: the keys below SOFTWARE\Microsoft\Windows of
// the user's hive, then of the machine's, four levels deep, shown in the
// optimizer panel's labels and bars as they are passed. It only reads.

#include "results/Backups.h"
#include "results/Category.h"

namespace kestrane::backup {

// The action `optimize`: both passes (the machine's is left out on a system
// whose product name says Vista), then the end texts. A key that cannot be
// opened contributes no names.
void optimize(ScanContext& ctx, OptimizerPanel& panel);

}  // namespace kestrane::backup
