#pragma once
// The pop-up menus of the category panel: registry (`pabregistry`),
// privacy (`pabprivacy`) and applications (`pabapply`). Their items come
// from the category table: each category's menu caption, in the order of
// its summary row (the applications found at start only); a chosen item is
// reported by the name of the view opener it runs.

#include <map>

#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace kestrane {
class MainWindowModel;
}

namespace kestrane::app {

class PopupMenus : public QObject {
    Q_OBJECT
public:
    PopupMenus(QWidget* window, const MainWindowModel& model);
    ~PopupMenus() override;

    QMenu* menu(const QString& name) const;
    // Where a menu opens: beside the category panel, further right when the
    // window is maximized (the applications menu always at the normal place).
    static QPoint position(const QString& name, const QPoint& windowTopLeft, bool maximized);
    void popup(const QString& name, const QPoint& at);

signals:
    void openerChosen(const QString& opener);

private:
    std::map<QString, QMenu*> m_menus;
};

}  // namespace kestrane::app
