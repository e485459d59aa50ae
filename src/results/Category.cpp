#include "results/Category.h"

namespace kestrane {

std::string_view menuName(Menu menu) {
    switch (menu) {
    case Menu::Registry:
        return "pabregistry";
    case Menu::Privacy:
        return "pabprivacy";
    case Menu::Applications:
        return "pabapply";
    case Menu::None:
        break;
    }
    return {};
}

std::vector<std::string> ignoreCodes(const std::vector<Category>& table) {
    std::vector<std::string> codes;
    for (const auto& c : table)
        if (!c.ignoreCode.empty())
            codes.push_back(c.ignoreCode);
    return codes;
}

}  // namespace kestrane
