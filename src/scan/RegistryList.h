#pragma once
// The registry lists: categories that list the value names (or subkey
// names) of fixed keys, each key with its filter, and make one row per name.

#include <functional>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"
#include "results/Category.h"

namespace kestrane {

// Which names of a key a source takes. Name tests are exact and case-sensitive.
enum class Take {
    All,            // every value, the unnamed default value included
    AllButMRUList,  // every value except one named "MRUList"
    Named,          // every named value (the default value left out)
    Only,           // only the value named `only`
};

struct RegistrySource {
    reg::Root root = reg::Root::CurrentUser;
    std::string keyPath{};  // from the root, no leading backslash
    Take take = Take::AllButMRUList;
    std::string only{};     // the name for Take::Only
    bool subkeys = false;   // the key's subkey names instead of its value names
};

// The names the source takes, in the registry's order: the key is opened
// from the root without creating it by a new registry wrapper; a key that
// cannot be opened gives none.
std::vector<std::string> takenNames(ScanContext& ctx, const RegistrySource& source);

// The source's key as a location text: "HKCU\" or "HKLM\" + the key path.
std::string locationOf(const RegistrySource& source);

// The data of one value of the source's key, through the registry string read.
std::string valueData(ScanContext& ctx, const RegistrySource& source, const std::string& name);

// The source, then for a key below the machine's Software on a 64-bit
// prefix the same key of the 32-bit view (when it is no link).
std::vector<RegistrySource> sourceViews(const ScanContext& ctx, const RegistrySource& source);

// For each source in order, in each of its views, `addRow` is called with
// every name it takes.
void scanRegistrySources(ScanContext& ctx, const std::vector<RegistrySource>& sources,
                         const std::function<void(const RegistrySource&, const std::string&)>& addRow);

}  // namespace kestrane
