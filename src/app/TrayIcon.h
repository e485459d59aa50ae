#pragma once
// The notification-area icon with its menu `PopupMenu1`: "Show Window" and
// "Exit Kestrane Pro". Only a right-button press opens the menu; every
// other mouse event on the icon does nothing.

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

namespace kestrane::app {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(const QIcon& icon, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Adding an icon that is there, or removing one that is not, does nothing.
    void add();
    void remove();
    bool isAdded() const;
    QMenu* menu() const { return m_menu; }
    QSystemTrayIcon* icon() const { return m_icon; }

signals:
    void showWindowRequested();
    void exitRequested();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* m_icon;
    QMenu* m_menu;
};

}  // namespace kestrane::app
