#pragma once
// The user's preferences: string values "1" and "0" under the current
// user's key Software\KestranePro, read each time they are needed (never
// cached), and the run-at-logon entry. Only "1" and "0" mean anything; any
// other text, or no value, leaves the designed default in place.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryStore.h"

namespace kestrane {

// One box of the settings page: its value, its caption and whether it is
// checked before any stored value is applied.
struct SettingBox {
    std::string_view value;
    std::string_view caption;
    bool designChecked;
};

// The boxes in the order their stored values are applied at start-up.
inline constexpr std::array<SettingBox, 9> kSettingBoxes{{
    {"alwaysontop", "Always on Top", true},
    {"loadwithwin", "Load on Windows Startup", false},
    {"autorepair", "Repair Errors Automatically", true},
    {"autoclose", "Exit Programs When Complete", false},
    {"playsounds", "Play Sounds", false},
    {"autobackup", "Automatically Create Registry Backups", true},
    {"taskbarstatus", "Hide Taskbar When Minimized", true},
    {"trayminimize", "Show System Tray Icon", true},
    {"showsplash", "Show Startup Splash Screen", false},
}};

const SettingBox* settingBox(std::string_view value);

class Settings {
public:
    static constexpr std::string_view kKey = "Software\\KestranePro";
    static constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr std::string_view kRunValue = "KestranePro";
    static constexpr std::string_view kAutostartProgram = "autostart.exe";

    explicit Settings(reg::RegistryStore& store) : m_store(store) {}

    // The stored text, empty when there is none.
    std::string text(std::string_view value) const;
    // "1": true, "0": false, anything else: nothing.
    std::optional<bool> stored(std::string_view value) const;
    // Stores "1" or "0". Raises reg::RegistryError when the key cannot be written.
    void store(std::string_view value, bool on);
    // The close handler's write: `autoscan` = "0".
    void storeAutoscanDone();

    // The run-at-logon value "KestranePro" under the user's Run key: the
    // program's folder (a Windows path) followed by "autostart.exe". An
    // entry that already reads so is left alone. Raises like store().
    void writeRunAtLogon(const std::string& programFolder);
    // Deletes the entry; a missing entry or Run key is no error.
    void deleteRunAtLogon();
    // The entry's text, empty when there is none.
    std::string runAtLogon() const;

private:
    reg::RegistryStore& m_store;
};

}  // namespace kestrane
