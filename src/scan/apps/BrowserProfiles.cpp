// Opera and Firefox: the cookies, cache, history and session files of their
// profile folders. Firefox names its profiles in profiles.ini; every profile
// it lists there is examined.

#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "scan/ApplicationList.h"
#include "scan/FileList.h"
#include "scan/apps/ApplicationScanners.h"

namespace kestrane {

namespace {

using reg::Root;

constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kInfo = "Internet Cache";
constexpr std::string_view kLegacyProfile = "lugoaffv.default";
constexpr std::size_t kMaxProfilesIni = 1 << 20;

std::string shellFolder(ScanContext& ctx, std::string_view value) {
    return reg::regReadString(ctx.store, Root::CurrentUser, kShellFolders, value);
}

// "each match" keeps every entry the pattern lists; "all entries" leaves out
// "." and "..": listSources leaves them out for both, and no pattern here
// can list them but "*.*".
void profileScan(ScanContext& ctx, ResultList& list, const std::vector<FileSource>& sources) {
    for (const auto& path : listSources(ctx, sources))
        addApplicationFileRow(ctx, list, path, kInfo);
    ctx.ramp(0, 100);
}

}  // namespace

std::vector<std::string> firefoxProfiles(std::string_view profilesIni, bool lugoaffvExists) {
    std::vector<std::string> profiles;
    for (const auto& section : ini::parse(profilesIni)) {
        if (section.value("IsRelative").value_or("") != "1")
            continue;
        std::string path = section.value("Path").value_or("");
        for (char& c : path)
            if (c == '\\') c = '/';
        // Inside the Profiles folder only: no absolute path, no "..", no empty part.
        if (text::asciiLower(path.substr(0, 9)) != "profiles/")
            continue;
        std::string rest = path.substr(9);
        std::string name;
        bool inside = !rest.empty();
        for (std::size_t start = 0; inside && start <= rest.size();) {
            std::size_t slash = rest.find('/', start);
            std::string part = rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos)
                inside = false;
            else
                name += (name.empty() ? "" : "\\") + part;
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
        if (inside && std::find(profiles.begin(), profiles.end(), name) == profiles.end())
            profiles.push_back(name);
    }
    if (lugoaffvExists && std::find(profiles.begin(), profiles.end(), kLegacyProfile) == profiles.end())
        profiles.emplace_back(kLegacyProfile);
    return profiles;
}

void operabro(ScanContext& ctx, ResultList& lvopera) {
    const std::string appData = shellFolder(ctx, "AppData");
    std::vector<FileSource> sources;
    if (!appData.empty()) {
        const std::string profile = appData + "\\Opera\\Opera\\profile\\";
        sources = {{profile, "cookies*.dat"}, {profile + "cache4\\", "*.*"}, {profile, "global.dat"},
                   {profile, "opera.dir"},    {profile, "download.dat"},    {profile, "vlink4.dat"},
                   {profile + "sessions\\", "autosave.win"}};
    }
    profileScan(ctx, lvopera, sources);
}

void mozillabro(ScanContext& ctx, ResultList& lvmozilla) {
    const std::string appData = shellFolder(ctx, "AppData");
    const std::string localAppData = shellFolder(ctx, "Local AppData");
    std::vector<FileSource> sources;
    if (!appData.empty() && ctx.files) {
        const std::string firefox = appData + "\\Mozilla\\Firefox\\";
        const std::string ini = ctx.files->readFile(firefox + "profiles.ini", kMaxProfilesIni).value_or("");
        const bool legacy = ctx.files->folderExists(firefox + "Profiles\\" + std::string(kLegacyProfile));
        for (const auto& name : firefoxProfiles(ini, legacy)) {
            if (!localAppData.empty())
                sources.push_back({localAppData + "\\Mozilla\\Firefox\\Profiles\\" + name + "\\Cache\\", "*.*"});
            const std::string profile = firefox + "Profiles\\" + name + "\\";
            sources.push_back({profile, "history.dat"});
            sources.push_back({profile, "formhistory.dat"});
        }
    }
    profileScan(ctx, lvmozilla, sources);
}

void removeopera(ScanContext& ctx, ResultList& lvopera) { applicationListRepair(ctx, lvopera, ApplicationRepair::Value); }

void removemozilla(ScanContext& ctx, ResultList& lvmozilla) {
    applicationListRepair(ctx, lvmozilla, ApplicationRepair::Value);
}

}  // namespace kestrane
