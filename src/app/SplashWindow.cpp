#include "app/SplashWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "app/AboutPage.h"
#include "controls/Artwork.h"
#include "results/Settings.h"

namespace kestrane::app {

SplashWindow::SplashWindow(const Settings& settings, bool& splashFlag)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TForm2"));
    setFixedSize(385, 211);
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_picture = controls::Artwork::splashPicture(size() - QSize(4, 4));
    auto* version = new QLabel(QString::fromLatin1(kVersionLabel), this);
    version->setObjectName(QStringLiteral("versionlabel"));
    version->setStyleSheet(QStringLiteral("color: white; background: transparent; font-weight: bold;"));
    version->setGeometry(width() - 70, height() - 30, 56, 18);
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    std::optional<bool> stored = settings.stored("showsplash");
    if (stored) splashFlag = *stored;
}

void SplashWindow::present() {
    show();
    raise();
    repaint();
    QApplication::sync();
}

void SplashWindow::busyDelay() {
    for (int turn = 0; turn < 4'000'000; ++turn)
        m_timer.setInterval(turn);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    // The lowered inner bevel of the panel.
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, width() - 2, 0);
    p.drawLine(0, 0, 0, height() - 2);
    p.setPen(Qt::white);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    p.drawPixmap(2, 2, m_picture);
}

}  // namespace kestrane::app
