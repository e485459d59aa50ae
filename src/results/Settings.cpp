#include "results/Settings.h"

#include "platform/Registry.h"

namespace kestrane {

const SettingBox* settingBox(std::string_view value) {
    for (const auto& box : kSettingBoxes)
        if (box.value == value) return &box;
    return nullptr;
}

std::string Settings::text(std::string_view value) const {
    return reg::regReadString(m_store, reg::Root::CurrentUser, kKey, value);
}

std::optional<bool> Settings::stored(std::string_view value) const {
    std::string t = text(value);
    if (t == "1") return true;
    if (t == "0") return false;
    return std::nullopt;
}

void Settings::store(std::string_view value, bool on) {
    reg::regWriteString(m_store, reg::Root::CurrentUser, kKey, value, on ? "1" : "0");
}

void Settings::storeAutoscanDone() { reg::regWriteString(m_store, reg::Root::CurrentUser, kKey, "autoscan", "0"); }

void Settings::writeRunAtLogon(const std::string& programFolder) {
    std::string entry = programFolder;
    if (!entry.empty() && entry.back() != '\\') entry += '\\';
    entry += kAutostartProgram;
    if (runAtLogon() == entry) return;
    reg::regWriteString(m_store, reg::Root::CurrentUser, kRunKey, kRunValue, entry);
}

void Settings::deleteRunAtLogon() {
    reg::TRegistry r(m_store);
    r.setRootKey(reg::Root::CurrentUser);
    if (r.openKey("\\" + std::string(kRunKey), false)) r.deleteValue(kRunValue);
}

std::string Settings::runAtLogon() const {
    return reg::regReadString(m_store, reg::Root::CurrentUser, kRunKey, kRunValue);
}

}  // namespace kestrane
