#pragma once
// What the settings do: at start-up each stored "1"/"0" sets its box and
// applies its effect (window on top, run-at-logon entry, tray icon); a
// click stores the box's new state and applies the effect at once; at the
// window's destruction the icon goes and the run-at-logon setting is
// applied once more.

#include <string>

#include <QObject>

#include "results/Settings.h"

class QWidget;

namespace kestrane::app {

class SettingsPage;
class TrayIcon;

class SettingsController : public QObject {
    Q_OBJECT
public:
    // `programFolder`: the Windows path of the program's folder, which the
    // run-at-logon entry names.
    SettingsController(Settings& settings, SettingsPage& page, QWidget& window, TrayIcon& tray,
                       std::string programFolder, QObject* parent = nullptr);

    void applyAtStart();
    // The boxes as the registry holds them now, their effects on the window
    // applied; nothing is written (the run-at-logon value is as it was read).
    void showStored();
    // Stores the new state, then applies the effect. Raises
    // reg::RegistryError when the value cannot be written (then the effect
    // is not applied; the box keeps its new state).
    void clicked(const QString& value, bool checked);
    void applyAtDestruction();
    // Puts the window into the topmost layer or out of it, and checks or
    // clears the "Always on Top" box to match; nothing is stored.
    void showTopmost(bool on);

private:
    // Sets the box from the stored value and applies its effect; nothing
    // for any text but "1" and "0".
    void applyStored(std::string_view value, bool writes = true);
    void effect(std::string_view value, bool on);
    void setTopmost(bool on);

    Settings& m_settings;
    SettingsPage& m_page;
    QWidget& m_window;
    TrayIcon& m_tray;
    std::string m_programFolder;
};

}  // namespace kestrane::app
