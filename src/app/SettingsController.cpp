#include "app/SettingsController.h"

#include <QCheckBox>
#include <QWidget>

#include "app/SettingsPage.h"
#include "app/TrayIcon.h"

namespace kestrane::app {

SettingsController::SettingsController(Settings& settings, SettingsPage& page, QWidget& window, TrayIcon& tray,
                                       std::string programFolder, QObject* parent)
    : QObject(parent), m_settings(settings), m_page(page), m_window(window), m_tray(tray),
      m_programFolder(std::move(programFolder)) {}

void SettingsController::applyAtStart() {
    for (const auto& box : kSettingBoxes)
        applyStored(box.value);
}

void SettingsController::showStored() {
    for (const auto& box : kSettingBoxes)
        applyStored(box.value, false);
}

void SettingsController::applyStored(std::string_view value, bool writes) {
    std::optional<bool> stored = m_settings.stored(value);
    if (!stored) return;
    m_page.box(value)->setChecked(*stored);
    if (writes || value != "loadwithwin") effect(value, *stored);
}

void SettingsController::clicked(const QString& value, bool checked) {
    const std::string name = value.toStdString();
    m_settings.store(name, checked);
    effect(name, checked);
}

void SettingsController::effect(std::string_view value, bool on) {
    if (value == "alwaysontop") {
        setTopmost(on);
    } else if (value == "loadwithwin") {
        if (on)
            m_settings.writeRunAtLogon(m_programFolder);
        else
            m_settings.deleteRunAtLogon();
    } else if (value == "trayminimize") {
        m_page.box("taskbarstatus")->setEnabled(on);
        if (on)
            m_tray.add();
        else
            m_tray.remove();
    }
}

void SettingsController::setTopmost(bool on) {
    if (m_window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Changing the flag hides a shown window: show it again where it was.
    const bool shown = m_window.isVisible();
    const QPoint where = m_window.pos();
    m_window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) {
        m_window.move(where);
        m_window.show();
    }
}

void SettingsController::showTopmost(bool on) {
    setTopmost(on);
    m_page.box("alwaysontop")->setChecked(on);
}

void SettingsController::applyAtDestruction() {
    m_tray.remove();
    applyStored("loadwithwin");
}

}  // namespace kestrane::app
