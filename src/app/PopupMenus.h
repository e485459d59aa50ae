#pragma once
// The pop-up menus of the category panel: registry (`pabregistry`),
// privacy (`pabprivacy`) and applications (`pabapply`). Each item names the
// view opener of its category; a chosen item is reported by that name.

#include <map>

#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace kestrane::app {

class PopupMenus : public QObject {
    Q_OBJECT
public:
    explicit PopupMenus(QWidget* window);
    ~PopupMenus() override;

    // Appends the item of an application found at start ("WinRAR") to
    // `pabapply`; an application without an opener gets no item.
    void addApplication(const QString& caption);

    QMenu* menu(const QString& name) const;
    // The opener an item of a menu runs ("RunningWhileStartup1Click").
    static QString openerOf(const QString& caption);
    // Where a menu opens: beside the category panel, further right when the
    // window is maximized (the applications menu always at the normal place).
    static QPoint position(const QString& name, const QPoint& windowTopLeft, bool maximized);
    void popup(const QString& name, const QPoint& at);

signals:
    void openerChosen(const QString& opener);

private:
    QMenu* addMenu(const QString& name, const char* const* captions, int count);
    void addItem(QMenu* menu, const QString& caption);

    std::map<QString, QMenu*> m_menus;
};

}  // namespace kestrane::app
