#pragma once
// A category whose view is on the shared buttons: the fields every such row
// of the privacy and application tables fills the same way.

#include <string>
#include <vector>

#include "results/Category.h"

namespace kestrane {

struct SharedView {
    std::string scan;  // the scan's name and the view's list
    std::string list;
    std::vector<Column> columns;
    CategoryAction scanAction;
    std::string repair;
    CategoryAction repairAction;
    std::string summaryRow;
    BadgeFamily family;
    Menu menu;
    std::string menuCaption;
    std::string opener;
    int viewNumber;
};

// The row with those fields; its status texts are the caller's.
Category sharedViewCategory(SharedView view);

}  // namespace kestrane
