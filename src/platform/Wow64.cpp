#include "platform/Wow64.h"

#include <array>

#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/WinPath.h"

namespace kestrane {

namespace reg {

bool isWin64(const RegistryStore& store) {
    return store.machineHive().arch() == "win64";
}

std::optional<std::string> wow64KeyPath(std::string_view keyPath) {
    const bool leading = !keyPath.empty() && keyPath.front() == '\\';
    std::string_view path = leading ? keyPath.substr(1) : keyPath;
    constexpr std::string_view software = "software";
    if (path.size() <= software.size() + 1 || path[software.size()] != '\\' ||
        !text::equalNames(path.substr(0, software.size()), software))
        return std::nullopt;
    std::string_view below = path.substr(software.size() + 1);
    std::string_view first = below.substr(0, below.find('\\'));
    if (first.empty() || text::equalNames(first, kWow64Node))
        return std::nullopt;
    std::string out = leading ? "\\" : "";
    out += path.substr(0, software.size());
    out += '\\';
    out += kWow64Node;
    out += '\\';
    out += below;
    return out;
}

bool reachesThroughLink(const RegistryStore& store, Root root, std::string_view keyPath) {
    if (!keyPath.empty() && keyPath.front() == '\\')
        keyPath.remove_prefix(1);
    // Every key on the way is opened in turn: a link stops the way there.
    for (std::size_t end = 0; end != std::string_view::npos;) {
        end = keyPath.find('\\', end + 1);
        auto key = store.openKey(root, keyPath.substr(0, end));
        if (!key)
            return false;
        if (store.isLink(*key))
            return true;
    }
    return false;
}

}  // namespace reg

namespace files {

namespace {

bool equalFolded(std::string_view a, std::string_view b) { return text::asciiLower(a) == text::asciiLower(b); }

}  // namespace

std::string redirect32(std::string_view path, std::string_view systemRoot) {
    auto parts = splitWinPath(path);
    auto root = splitWinPath(systemRoot);
    if (!parts || !root || parts->drive != root->drive || root->components.empty())
        return std::string(path);
    const auto& c = parts->components;
    const auto& r = root->components;
    if (c.size() <= r.size())
        return std::string(path);
    for (std::size_t i = 0; i < r.size(); ++i)
        if (!equalFolded(c[i], r[i]))
            return std::string(path);
    const std::size_t at = r.size();
    if (!equalFolded(c[at], "system32"))
        return std::string(path);
    if (c.size() > at + 1) {
        static constexpr std::array<std::string_view, 4> kept{"catroot", "catroot2", "spool", "logfiles"};
        for (auto name : kept)
            if (equalFolded(c[at + 1], name))
                return std::string(path);
        if (equalFolded(c[at + 1], "drivers") && c.size() > at + 2 && equalFolded(c[at + 2], "etc"))
            return std::string(path);
    }
    std::string out{static_cast<char>(parts->drive - 'a' + 'A'), ':'};
    for (std::size_t i = 0; i < c.size(); ++i) {
        out += '\\';
        out += i == at ? std::string_view("syswow64") : std::string_view(c[i]);
    }
    if (path.back() == '\\' || path.back() == '/')
        out += '\\';
    return out;
}

SystemFolders wow64Folders(const reg::RegistryStore& store, const SystemFolders& native) {
    using reg::Root;
    constexpr std::string_view native64 = "Software\\Microsoft\\Windows\\CurrentVersion";
    constexpr std::string_view view32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
    auto read = [&](std::string_view name) {
        std::string v = reg::regReadString(store, Root::LocalMachine, view32, name);
        return v.empty() ? reg::regReadString(store, Root::LocalMachine, native64, std::string(name) + " (x86)") : v;
    };
    SystemFolders f = native;
    f.programFiles = read("ProgramFilesDir");
    f.commonFiles = read("CommonFilesDir");
    return f;
}

}  // namespace files

}  // namespace kestrane
