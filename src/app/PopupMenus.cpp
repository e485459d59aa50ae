#include "app/PopupMenus.h"

#include <QMenu>
#include <QWidget>

#include "controls/Artwork.h"
#include "results/MainWindowModel.h"

namespace kestrane::app {

namespace {

controls::Glyph glyphOf(Menu menu) {
    switch (menu) {
    case Menu::Registry:
        return controls::Glyph::Registry;
    case Menu::Privacy:
        return controls::Glyph::Privacy;
    case Menu::Applications:
    case Menu::None:
        break;
    }
    return controls::Glyph::Applications;
}

}  // namespace

PopupMenus::PopupMenus(QWidget* window, const MainWindowModel& model) : QObject(window) {
    for (Menu which : {Menu::Registry, Menu::Privacy, Menu::Applications}) {
        const QString name = QString::fromUtf8(menuName(which).data(), static_cast<int>(menuName(which).size()));
        auto* m = new QMenu(window);
        m->setObjectName(name);
        m_menus.emplace(name, m);
        for (const Category* c : model.menuItems(which)) {
            QAction* item =
                m->addAction(controls::Artwork::glyph(glyphOf(which)), QString::fromStdString(c->menuCaption));
            const QString opener = QString::fromStdString(c->opener);
            connect(item, &QAction::triggered, this, [this, opener] { emit openerChosen(opener); });
        }
    }
}

PopupMenus::~PopupMenus() = default;

QMenu* PopupMenus::menu(const QString& name) const {
    auto it = m_menus.find(name);
    return it == m_menus.end() ? nullptr : it->second;
}

QPoint PopupMenus::position(const QString& name, const QPoint& windowTopLeft, bool maximized) {
    if (name == QLatin1String("pabregistry")) return windowTopLeft + QPoint(maximized ? 875 : 655, 214);
    if (name == QLatin1String("pabprivacy")) return windowTopLeft + QPoint(maximized ? 875 : 655, 242);
    return windowTopLeft + QPoint(655, 269);
}

void PopupMenus::popup(const QString& name, const QPoint& at) {
    if (QMenu* m = menu(name)) m->popup(at);
}

}  // namespace kestrane::app
