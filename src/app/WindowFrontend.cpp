#include "app/WindowFrontend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "app/MainWindow.h"
#include "app/MessageBox.h"

namespace kestrane::app {

void WindowFrontend::processMessages() {
    if (m_window) m_window->render();
    QCoreApplication::processEvents();
}

void WindowFrontend::statusChanged(const std::string& text) {
    if (m_window) m_window->showStatus(QString::fromStdString(text));
}

void WindowFrontend::terminate() {
    if (m_window) m_window->terminate();
}

void WindowFrontend::showError(const std::string& text) {
    MessageBox::error(m_window, QString::fromStdString(text));
}

void WindowFrontend::popupMenu(std::string_view menu) {
    if (m_window) m_window->popupMenu(QString::fromUtf8(menu.data(), static_cast<qsizetype>(menu.size())));
}

void WindowFrontend::showMessage(const std::string& text) {
    MessageBox::information(m_window, QString::fromStdString(text));
}

void WindowFrontend::setTopmost(bool topmost) {
    if (m_window) m_window->setTopmost(topmost);
}

void WindowFrontend::registryReloaded() {
    if (m_window) m_window->showStoredSettings();
}

void WindowFrontend::pause(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    if (m_window) m_window->showProgress();
    QCoreApplication::processEvents();
    if (!m_wait) return;
    const qint64 left = milliseconds - clock.elapsed();
    if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
}

}  // namespace kestrane::app
