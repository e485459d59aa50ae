#include "results/Category.h"
#include "scan/apps/ApplicationScanners.h"
#include "scan/privacy/PrivacyScanners.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

// Every category built so far, area by area.
std::vector<Category> builtCategories() {
    std::vector<Category> table = registryCategories();
    for (auto& c : privacyCategories())
        table.push_back(std::move(c));
    for (auto& c : applicationCategories())
        table.push_back(std::move(c));
    return table;
}

}  // namespace kestrane
