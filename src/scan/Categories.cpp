#include "results/Category.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

// Every category built so far, area by area.
std::vector<Category> builtCategories() {
    std::vector<Category> table = registryCategories();
    return table;
}

}  // namespace kestrane
