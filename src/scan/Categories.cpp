#include "results/Category.h"
#include "scan/SharedViews.h"
#include "scan/apps/ApplicationScanners.h"
#include "scan/privacy/PrivacyScanners.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

Category sharedViewCategory(SharedView view) {
    Category c;
    c.scan = std::move(view.scan);
    c.list = std::move(view.list);
    c.columns = std::move(view.columns);
    c.scanAction = std::move(view.scanAction);
    c.repair = std::move(view.repair);
    c.repairAction = std::move(view.repairAction);
    c.summaryRow = std::move(view.summaryRow);
    c.family = view.family;
    c.menu = view.menu;
    c.menuCaption = std::move(view.menuCaption);
    c.opener = std::move(view.opener);
    c.viewNumber = view.viewNumber;
    return c;
}

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
