#include "platform/LaunchProbe.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/TextOps.h"

namespace kestrane::files {

namespace {

constexpr std::string_view kEnvironmentKey = "\\System\\CurrentControlSet\\Control\\Session Manager\\Environment";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Cuts to at most n UTF-16 units, as the system's command-line buffer does.
std::string cutToUnits(std::string_view s, std::size_t n) {
    if (s.size() <= n)
        return std::string(s);  // n bytes are at most n units
    std::u16string units = text::toUtf16(s);
    if (units.size() <= n)
        return std::string(s);
    units.resize(n);
    return text::toUtf8(units);
}

bool hasFolder(std::string_view name) {
    for (char c : name)
        if (c == '\\' || c == '/' || c == ':')
            return true;
    return false;
}

bool hasExtension(std::string_view name) {
    auto sep = name.find_last_of("\\/:");
    std::string_view last = sep == std::string_view::npos ? name : name.substr(sep + 1);
    return last.find('.') != std::string_view::npos;
}

}  // namespace

std::string expandVariables(std::string_view text, const std::vector<std::pair<std::string, std::string>>& variables) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        auto open = text.find('%', i);
        if (open == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        auto close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(open));
            break;
        }
        std::string_view name = text.substr(open + 1, close - open - 1);
        const std::string* value = nullptr;
        for (const auto& [n, v] : variables) {
            if (!name.empty() && text::equalNames(n, name)) {
                value = &v;
                break;
            }
        }
        if (value) {
            out.append(*value);
            i = close + 1;
        } else {
            out.append(text.substr(open, close - open));  // "%NAME", the closing '%' may open the next one
            i = close;
        }
    }
    return out;
}

LaunchProbe::LaunchProbe(FileSystem& files, std::vector<std::string> searchFolders)
    : m_files(files), m_searchFolders(std::move(searchFolders)) {}

std::vector<std::string> LaunchProbe::prefixSearchFolders(reg::RegistryStore& store, std::string_view systemRoot,
                                                          std::string_view appFolder) {
    std::vector<std::string> folders;
    if (!appFolder.empty())
        folders.emplace_back(appFolder);
    folders.push_back(std::string(systemRoot) + "\\system32");
    folders.emplace_back(systemRoot);

    reg::TRegistry env(store);
    env.setRootKey(reg::Root::LocalMachine);
    env.setAccess(reg::KEY_READ);
    if (!env.openKey(kEnvironmentKey, false))
        return folders;
    std::vector<std::pair<std::string, std::string>> variables;
    std::vector<std::string> names;
    env.getValueNames(names);
    for (const auto& name : names)
        variables.emplace_back(name, env.readString(name));
    variables.emplace_back("SystemRoot", std::string(systemRoot));  // when the key has none of its own
    variables.emplace_back("windir", std::string(systemRoot));

    std::string path = env.readString("PATH");
    for (int round = 0; round < 4 && path.find('%') != std::string::npos; ++round) {
        std::string next = expandVariables(path, variables);
        if (next == path)
            break;
        path = std::move(next);
    }
    std::vector<std::string> pieces;
    text::splitText(path, ';', pieces);
    for (auto& p : pieces)
        if (!p.empty())
            folders.push_back(std::move(p));
    return folders;
}

std::optional<std::string> LaunchProbe::findFile(std::string_view name) const {
    if (name.empty())
        return std::nullopt;
    std::string file(name);
    if (!hasExtension(file))
        file += ".exe";
    if (hasFolder(file))
        return m_files.fileExists(file) ? std::optional<std::string>(file) : std::nullopt;
    for (const auto& folder : m_searchFolders) {
        if (folder.empty())
            continue;
        std::string candidate = folder;
        if (candidate.back() != '\\' && candidate.back() != '/')
            candidate += '\\';
        candidate += file;
        if (m_files.fileExists(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::optional<std::string> LaunchProbe::findProgram(std::string_view commandLine) const {
    const std::string line = cutToUnits(commandLine, kMaxCommandLine);
    std::string_view s = line;
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    if (s.front() == '"') {
        auto close = s.find('"', 1);
        return findFile(s.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    // Up to each blank in turn, then the whole line.
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (isBlank(s[i]) && !isBlank(s[i - 1])) {
            if (auto found = findFile(s.substr(0, i)))
                return found;
        }
    }
    std::string_view whole = s;
    while (!whole.empty() && isBlank(whole.back()))
        whole.remove_suffix(1);
    return findFile(whole);
}

int LaunchProbe::probe(std::string_view commandLine, int /*showWindow*/) const {
    return findProgram(commandLine) ? 0 : 1;
}

}  // namespace kestrane::files
