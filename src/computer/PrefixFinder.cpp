#include "computer/PrefixFinder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <initializer_list>
#include <set>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <utility>

#include <nlohmann/json.hpp>
#include <yaml-cpp/yaml.h>

#include "platform/VdfFile.h"
#include "platform/WineServer.h"

namespace kestrane {

namespace fs = std::filesystem;

namespace {

// Settings files are small; anything bigger is not one.
constexpr std::size_t kMaxSettingsBytes = 16 * 1024 * 1024;
// The #arch= line is among the first few of system.reg.
constexpr std::size_t kHiveHeadBytes = 4096;

bool isPrefix(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "system.reg", ec) && fs::is_directory(folder / "drive_c", ec);
}

bool isRegularFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

bool hasExtension(const fs::path& file, std::initializer_list<std::string_view> extensions) {
    const std::string ext = file.extension().string();
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

bool isNumber(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The last component of the path, also when it ends with a slash.
std::string folderName(const fs::path& path) {
    fs::path normal = path.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();
    return normal.filename().string();
}

// The entries of a folder, sorted by name; none when it cannot be listed.
std::vector<fs::path> childrenOf(const fs::path& folder) {
    std::vector<fs::path> children;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        children.push_back(it->path());
    std::sort(children.begin(), children.end());
    return children;
}

// Steam's app ids in numeric order: shorter numbers first, then by digits.
bool appIdBefore(const fs::path& a, const fs::path& b) {
    const std::string x = a.filename().string();
    const std::string y = b.filename().string();
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

// "win32" or "win64" from the #arch= line of system.reg's header.
std::string archOf(const fs::path& systemReg) {
    int fd = ::open(systemReg.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "";
    std::string head(kHiveHeadBytes, '\0');
    ssize_t got = ::read(fd, head.data(), head.size());
    ::close(fd);
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    std::size_t pos = 0;
    while (pos < head.size()) {
        std::size_t end = std::min(head.find('\n', pos), head.size());
        std::string_view line(head.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line == "#arch=win32" || line == "#arch=win64")
            return std::string(line.substr(6));
        if (!line.empty() && line.front() == '[')
            break;
    }
    return "";
}

// Bytes of the regular files below the folder; links are neither followed nor counted.
std::uintmax_t sizeOnDisk(const fs::path& folder) {
    std::uintmax_t total = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code entryEc;
        if (it->is_symlink(entryEc) || !it->is_regular_file(entryEc))
            continue;
        const std::uintmax_t size = it->file_size(entryEc);
        if (!entryEc)
            total += size;
    }
    return total;
}

std::optional<fs::file_time_type> registryWritten(const fs::path& prefix) {
    std::optional<fs::file_time_type> newest;
    for (const char* hive : {"system.reg", "user.reg"}) {
        std::error_code ec;
        const fs::file_time_type written = fs::last_write_time(prefix / hive, ec);
        if (!ec && (!newest || written > *newest))
            newest = written;
    }
    return newest;
}

// A YAML error as "line N: what" (or just what when the parser gave no place).
std::string describe(const YAML::Exception& e) {
    if (e.mark.is_null())
        return e.msg;
    return "line " + std::to_string(e.mark.line + 1) + ": " + e.msg;
}

// nlohmann's message without its "[json.exception.parse_error.101] " tag.
std::string describe(const nlohmann::json::exception& e) {
    std::string what = e.what();
    if (!what.empty() && what.front() == '[') {
        std::size_t close = what.find("] ");
        if (close != std::string::npos)
            what.erase(0, close + 2);
    }
    return what;
}

class Finder {
public:
    explicit Finder(const FinderInput& input) : m_input(input) {}

    FindResult run();

private:
    fs::path inHome(std::string_view relative) const { return m_input.home / relative; }

    // The real path of the folder when it is a prefix not listed yet.
    std::optional<fs::path> unlisted(const fs::path& folder) const;
    void add(const fs::path& folder, fs::path realPath, std::string name, std::string source);
    void offer(const fs::path& folder, std::string name, std::string source);

    void warn(const fs::path& file, const std::string& what) {
        m_result.warnings.push_back(file.string() + ": " + what);
    }
    // The text of a settings file; nothing (and no warning) when it does not exist.
    std::optional<std::string> readSettings(const fs::path& file);
    // A path a settings file names, with a leading ~ meaning the home folder;
    // nothing when it is empty, and a warning when it is not absolute.
    std::optional<fs::path> namedPath(const fs::path& file, const std::string& text, bool tildeIsHome);
    // The file read as YAML; nothing, after a warning, when it cannot be.
    std::optional<YAML::Node> readYaml(const fs::path& file);

    void fromHome();
    void fromHeroic();
    void fromFolderOfPrefixes(const fs::path& folder, const std::string& source);
    void fromBottles(const fs::path& folder, const std::string& source);
    std::string bottleName(const fs::path& bottle);
    void fromLutris(const fs::path& folder);
    void fromLutrisGame(const fs::path& file);
    void fromSteam(const fs::path& root, const std::string& source);
    std::vector<fs::path> listedLibraries(const fs::path& file);
    void fromSteamLibrary(const fs::path& library, const std::string& source);
    std::string steamAppName(const fs::path& steamapps, const std::string& appId);
    void fromHeroicGames(const fs::path& file);
    void offerHeroic(const fs::path& folder, std::string name);

    FinderInput m_input;
    FindResult m_result;
    std::set<fs::path> m_listed;          // real paths of the prefixes listed
    std::set<fs::path> m_steamRoots;      // real paths of the steamapps folders of the Steam roots read
    std::set<fs::path> m_steamLibraries;  // real paths of the steamapps folders of the libraries read
};

FindResult Finder::run() {
    try {
        if (m_input.winePrefix && !m_input.winePrefix->empty())
            offer(*m_input.winePrefix, folderName(*m_input.winePrefix), "WINEPREFIX");
        if (!m_input.home.empty())
            fromHome();
    } catch (const std::exception& e) {
        m_result.warnings.push_back(std::string("the search for prefixes stopped early: ") + e.what());
    }
    return std::move(m_result);
}

// The places in the home folder, in the order that decides which one names a prefix.
void Finder::fromHome() {
    offer(inHome(".wine"), ".wine", "~/.wine");
    fromFolderOfPrefixes(inHome(".local/share/wineprefixes"), "winetricks");
    fromBottles(inHome(".local/share/bottles/bottles"), "Bottles");
    fromBottles(inHome(".var/app/com.usebottles.bottles/data/bottles/bottles"), "Bottles (Flatpak)");
    fromLutris(inHome(".config/lutris/games"));
    fromLutris(inHome(".local/share/lutris/games"));
    fromSteam(inHome(".steam/steam"), "Steam");
    fromSteam(inHome(".local/share/Steam"), "Steam");
    fromSteam(inHome(".var/app/com.valvesoftware.Steam/.local/share/Steam"), "Steam (Flatpak)");
    fromHeroic();
    fromFolderOfPrefixes(inHome(".PlayOnLinux/wineprefix"), "PlayOnLinux");
    fromFolderOfPrefixes(inHome(".cxoffice"), "CrossOver");
}

// Heroic's own prefix folder first (its folders are named after the games),
// then the prefixes its games' settings name, of the package and of the Flatpak.
void Finder::fromHeroic() {
    for (const fs::path& folder : childrenOf(inHome("Games/Heroic/Prefixes")))
        offerHeroic(folder, folderName(folder));
    for (const char* config :
         {".config/heroic/GamesConfig", ".var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig"})
        for (const fs::path& file : childrenOf(inHome(config)))
            if (hasExtension(file, {".json"}) && isRegularFile(file))
                fromHeroicGames(file);
}

std::optional<fs::path> Finder::unlisted(const fs::path& folder) const {
    if (folder.empty() || !isPrefix(folder))
        return std::nullopt;
    std::error_code ec;
    fs::path real = fs::canonical(folder, ec);
    if (ec || m_listed.count(real))
        return std::nullopt;
    return real;
}

void Finder::add(const fs::path& folder, fs::path realPath, std::string name, std::string source) {
    m_listed.insert(realPath);
    FoundPrefix found;
    found.name = std::move(name);
    found.source = std::move(source);
    found.path = folder;
    found.arch = archOf(realPath / "system.reg");
    if (m_input.measureSizes)
        found.sizeOnDisk = sizeOnDisk(realPath);
    found.registryWritten = registryWritten(realPath);
    found.wineServer = reg::runningWineServer(realPath);
    found.realPath = std::move(realPath);
    m_result.prefixes.push_back(std::move(found));
}

void Finder::offer(const fs::path& folder, std::string name, std::string source) {
    if (auto real = unlisted(folder))
        add(folder, std::move(*real), std::move(name), std::move(source));
}

std::optional<std::string> Finder::readSettings(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found)
        return std::nullopt;
    if (ec) {
        warn(file, "cannot be read: " + ec.message());
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        warn(file, "cannot be read: it is not a file");
        return std::nullopt;
    }
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        warn(file, std::string("cannot be read: ") + std::strerror(errno));
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    ssize_t got = 0;
    while (text.size() <= kMaxSettingsBytes && (got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    const int readError = got < 0 ? errno : 0;
    ::close(fd);
    if (readError != 0) {
        warn(file, std::string("cannot be read: ") + std::strerror(readError));
        return std::nullopt;
    }
    if (text.size() > kMaxSettingsBytes) {
        warn(file, "is too large for a settings file");
        return std::nullopt;
    }
    return text;
}

std::optional<fs::path> Finder::namedPath(const fs::path& file, const std::string& text, bool tildeIsHome) {
    if (text.empty())
        return std::nullopt;
    fs::path path = text;
    if (tildeIsHome && (text == "~" || text.rfind("~/", 0) == 0))
        path = m_input.home / text.substr(std::min<std::size_t>(2, text.size()));
    if (!path.is_absolute()) {
        warn(file, "the path \"" + text + "\" is not absolute");
        return std::nullopt;
    }
    return path;
}

std::optional<YAML::Node> Finder::readYaml(const fs::path& file) {
    auto text = readSettings(file);
    if (!text)
        return std::nullopt;
    try {
        return YAML::Load(*text);
    } catch (const YAML::Exception& e) {
        warn(file, "not valid YAML, " + describe(e));
        return std::nullopt;
    }
}

void Finder::fromFolderOfPrefixes(const fs::path& folder, const std::string& source) {
    for (const fs::path& child : childrenOf(folder))
        offer(child, folderName(child), source);
}

void Finder::fromBottles(const fs::path& folder, const std::string& source) {
    for (const fs::path& bottle : childrenOf(folder))
        if (auto real = unlisted(bottle))
            add(bottle, std::move(*real), bottleName(bottle), source);
}

std::string Finder::bottleName(const fs::path& bottle) {
    const fs::path file = bottle / "bottle.yml";
    try {
        if (auto root = readYaml(file)) {
            const YAML::Node& config = *root;
            if (config.IsMap()) {
                const YAML::Node name = config["Name"];
                if (name && name.IsScalar() && !name.Scalar().empty())
                    return name.Scalar();
            } else if (!config.IsNull()) {
                warn(file, "does not hold a bottle's settings");
            }
        }
    } catch (const YAML::Exception& e) {
        warn(file, "not valid YAML, " + describe(e));
    }
    return folderName(bottle);
}

void Finder::fromLutris(const fs::path& folder) {
    for (const fs::path& file : childrenOf(folder))
        if (hasExtension(file, {".yml", ".yaml"}) && isRegularFile(file))
            fromLutrisGame(file);
}

void Finder::fromLutrisGame(const fs::path& file) {
    try {
        auto root = readYaml(file);
        if (!root || root->IsNull())
            return;
        const YAML::Node& config = *root;
        if (!config.IsMap()) {
            warn(file, "does not hold a game's settings");
            return;
        }
        const YAML::Node game = config["game"];
        const YAML::Node prefix = game && game.IsMap() ? game["prefix"] : YAML::Node();
        if (!prefix || prefix.IsNull())
            return;  // not a Wine game
        if (!prefix.IsScalar()) {
            warn(file, "the game's prefix is not a path");
            return;
        }
        const YAML::Node name = config["name"];
        std::string title = name && name.IsScalar() && !name.Scalar().empty() ? name.Scalar() : file.stem().string();
        if (auto folder = namedPath(file, prefix.Scalar(), true))
            offer(*folder, std::move(title), "Lutris");
    } catch (const YAML::Exception& e) {
        warn(file, "not valid YAML, " + describe(e));
    }
}

void Finder::fromSteam(const fs::path& root, const std::string& source) {
    std::error_code ec;
    const fs::path steamapps = fs::canonical(root / "steamapps", ec);
    if (ec || !fs::is_directory(steamapps, ec) || !m_steamRoots.insert(steamapps).second)
        return;
    std::vector<fs::path> libraries{root};
    for (fs::path& library : listedLibraries(root / "steamapps" / "libraryfolders.vdf"))
        libraries.push_back(std::move(library));
    for (const fs::path& library : libraries)
        fromSteamLibrary(library, source);
}

std::vector<fs::path> Finder::listedLibraries(const fs::path& file) {
    auto text = readSettings(file);
    if (!text)
        return {};
    auto tree = vdf::parse(*text, file.string());
    if (!tree) {
        m_result.warnings.push_back(tree.error().message);
        return {};
    }
    const vdf::Node* folders = tree->find("libraryfolders");
    if (!folders || !folders->isObject()) {
        warn(file, "holds no libraryfolders object");
        return {};
    }
    std::vector<fs::path> libraries;
    for (const vdf::Entry& entry : folders->entries()) {
        if (!isNumber(entry.key))
            continue;  // TimeNextStatsReport, ContentStatsID and the like
        // Older files give the path as the value, newer ones an object with a path.
        std::optional<std::string> path = entry.value.isText() ? entry.value.text() : entry.value.textOf("path");
        if (!path)
            continue;
        if (auto folder = namedPath(file, *path, false))
            libraries.push_back(std::move(*folder));
    }
    return libraries;
}

void Finder::fromSteamLibrary(const fs::path& library, const std::string& source) {
    const fs::path steamapps = library / "steamapps";
    std::error_code ec;
    const fs::path real = fs::canonical(steamapps, ec);
    if (ec || !m_steamLibraries.insert(real).second)
        return;
    std::vector<fs::path> apps = childrenOf(steamapps / "compatdata");
    std::sort(apps.begin(), apps.end(), appIdBefore);
    for (const fs::path& app : apps) {
        const fs::path pfx = app / "pfx";
        if (auto realPfx = unlisted(pfx))
            add(pfx, std::move(*realPfx), steamAppName(steamapps, folderName(app)), source);
    }
}

std::string Finder::steamAppName(const fs::path& steamapps, const std::string& appId) {
    const std::string fallback = "Steam app " + appId;
    const fs::path file = steamapps / ("appmanifest_" + appId + ".acf");
    auto text = readSettings(file);
    if (!text)
        return fallback;
    auto tree = vdf::parse(*text, file.string());
    if (!tree) {
        m_result.warnings.push_back(tree.error().message);
        return fallback;
    }
    const vdf::Node* state = tree->find("AppState");
    std::optional<std::string> name = state ? state->textOf("name") : std::nullopt;
    return name && !name->empty() ? *name : fallback;
}

void Finder::fromHeroicGames(const fs::path& file) {
    auto text = readSettings(file);
    if (!text)
        return;
    nlohmann::ordered_json doc;
    try {
        doc = nlohmann::ordered_json::parse(*text, nullptr, true, true);
    } catch (const nlohmann::json::exception& e) {
        warn(file, "not valid JSON, " + describe(e));
        return;
    }
    if (!doc.is_object()) {
        warn(file, "does not hold games' settings");
        return;
    }
    // One object per game, keyed by its id, beside "version" and "explicit".
    for (const auto& [game, settings] : doc.items()) {
        if (!settings.is_object())
            continue;
        auto prefix = settings.find("winePrefix");
        if (prefix == settings.end() || !prefix->is_string())
            continue;
        if (auto folder = namedPath(file, prefix->get<std::string>(), true))
            offerHeroic(*folder, game);
    }
}

void Finder::offerHeroic(const fs::path& folder, std::string name) {
    // With Proton the folder Heroic names holds the prefix in pfx, as in Steam's compatdata.
    if (isPrefix(folder))
        offer(folder, std::move(name), "Heroic");
    else
        offer(folder / "pfx", std::move(name), "Heroic");
}

}  // namespace

FinderInput finderInputFromEnvironment() {
    FinderInput input;
    if (const char* home = std::getenv("HOME"); home && *home)
        input.home = home;
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        input.winePrefix = fs::path(prefix);
    return input;
}

FindResult findPrefixes(const FinderInput& input) {
    return Finder(input).run();
}

}  // namespace kestrane
