#include "platform/Environment.h"

#include "platform/LaunchProbe.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace kestrane::files {

namespace {

constexpr std::string_view kMachineEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr std::string_view kUserEnvironment = "Environment";
constexpr std::string_view kNtCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::string_view kProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kUserSid = "S-1-5-21-0-0-0-1000";

// Every value of a key as text, in the registry's order.
void addValuesOf(PrefixEnvironment& env, const reg::RegistryStore& store, reg::Root root, std::string_view path) {
    auto key = store.openKey(root, path, reg::KEY_READ);
    if (!key)
        return;
    for (const auto& name : store.valueNames(*key))
        if (auto v = store.queryValue(*key, name))
            env.set(name, v->text());
}

std::string readText(const reg::RegistryStore& store, reg::Root root, std::string_view path, std::string_view name) {
    auto key = store.openKey(root, path, reg::KEY_READ);
    if (!key)
        return {};
    auto v = store.queryValue(*key, name);
    return v ? v->text() : std::string();
}

}  // namespace

PrefixEnvironment PrefixEnvironment::read(const reg::RegistryStore& store) {
    using reg::Root;
    PrefixEnvironment env;
    const std::string systemRoot = readText(store, Root::LocalMachine, kNtCurrentVersion, "SystemRoot");
    if (!systemRoot.empty()) {
        env.set("SystemRoot", systemRoot);
        env.set("windir", systemRoot);
        if (systemRoot.size() >= 2 && systemRoot[1] == ':')
            env.set("SystemDrive", systemRoot.substr(0, 2));
    }
    addValuesOf(env, store, Root::LocalMachine, kMachineEnvironment);
    // The profile: its folder from the profile list, else the folder that
    // holds the user's application data.
    std::string profile = readText(store, Root::LocalMachine, std::string(kProfileList) + "\\" +
                                                                       std::string(kUserSid), "ProfileImagePath");
    if (profile.empty()) {
        std::string appData = readText(store, Root::CurrentUser, kShellFolders, "AppData");
        auto cut = text::asciiLower(appData).rfind("\\appdata\\");
        if (cut != std::string::npos)
            profile = appData.substr(0, cut);
    }
    if (!profile.empty())
        env.set("USERPROFILE", env.expand(profile));
    for (auto [variable, folder] : {std::pair{"APPDATA", "AppData"}, std::pair{"LOCALAPPDATA", "Local AppData"}})
        if (std::string f = readText(store, Root::CurrentUser, kShellFolders, folder); !f.empty())
            env.set(variable, f);
    addValuesOf(env, store, Root::CurrentUser, kUserEnvironment);
    return env;
}

void PrefixEnvironment::set(std::string name, std::string value) {
    for (auto& [n, v] : m_vars)
        if (text::equalNames(n, name)) {
            v = std::move(value);
            return;
        }
    m_vars.emplace_back(std::move(name), std::move(value));
}

std::optional<std::string> PrefixEnvironment::value(std::string_view name) const {
    for (const auto& [n, v] : m_vars)
        if (text::equalNames(n, name))
            return v;
    return std::nullopt;
}

std::string PrefixEnvironment::expand(std::string_view text) const {
    std::string out(text);
    for (int round = 0; round < 4 && out.find('%') != std::string::npos; ++round) {
        std::string next = expandVariables(out, m_vars);
        if (next == out)
            break;
        out = std::move(next);
    }
    return out;
}

std::string PrefixEnvironment::expanded(std::string_view name) const {
    auto v = value(name);
    return v ? expand(*v) : std::string();
}

}  // namespace kestrane::files
