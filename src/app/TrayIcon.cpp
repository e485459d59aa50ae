#include "app/TrayIcon.h"

#include <QCursor>
#include <QMenu>

namespace kestrane::app {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(icon, this)), m_menu(new QMenu()) {
    m_icon->setToolTip(QStringLiteral("Kestrane Professional"));
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    connect(m_menu->addAction(QStringLiteral("Show Window")), &QAction::triggered, this,
            &TrayIcon::showWindowRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("Exit Kestrane Pro")), &QAction::triggered, this,
            &TrayIcon::exitRequested);
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
}

TrayIcon::~TrayIcon() { delete m_menu; }

void TrayIcon::add() { m_icon->show(); }
void TrayIcon::remove() { m_icon->hide(); }
bool TrayIcon::isAdded() const { return m_icon->isVisible(); }

void TrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Context) m_menu->popup(QCursor::pos());
}

}  // namespace kestrane::app
