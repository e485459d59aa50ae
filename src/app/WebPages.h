#pragma once
// The pages the window opens through the desktop: the product's home page,
// its update page, and the help page we ship with the program.

#include <QUrl>

namespace kestrane::app::web {

QUrl homepage();
QUrl updatePage();
// The local help page: beside the program (help/index.html), in the shared
// data folder of an installation (../share/kestrane/help/index.html), else
// in the source tree the program was built from.
QUrl helpPage();

}  // namespace kestrane::app::web
