// Cookies: the user's cookie files that name an advertising, tracking or
// web site of the keyword table. Windows names a cookie file after the user
// and the site ("me@ads.example[1].txt"); Wine gives it a random name
// ("JR2CZQ68.txt") and keeps the site in its records, so for a file whose
// name does not say it the test also runs on "user@host/path" of each record.

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "scan/FileList.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::size_t kMaxCookieFile = 1 << 20;  // more than any cookie file holds

// The profile folder's name of a folder below C:\users\NAME; empty otherwise.
std::string profileUser(std::string_view folder) {
    const std::string lower = text::asciiLower(folder);
    auto at = lower.find(":\\users\\");
    if (at == std::string::npos)
        return {};
    std::string_view rest = folder.substr(at + 8);
    return std::string(rest.substr(0, rest.find('\\')));
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& s : items) {
        if (!out.empty())
            out += ", ";
        out += s;
    }
    return out;
}

}  // namespace

const std::vector<std::string_view>& cookieKeywords() {
    static const std::vector<std::string_view> keywords{
    "yahoo", "google", "adlog", "atdmt", "ads", "vnuemedia", "advertising", "casalemedia", "fastclick",
    "adknowledge", "pheedo", "doubleclick", "2mdn", "tribalfusion", "adserver", "eproof", "mercuras", "atwola",
    "cnn", "change", "tomshardware", "intellitxt", "falkag", "industrybrains", "tacoda", "trafficmp",
    "adimage", "adjs", "adx", "omniture", "popupjs", "zdnet", "chkpt", "zedo", "kliptracker", "dvlabs", "ru4",
    "imrworldwide", "overture", "banners", "a1", "yimg", "jazad", "aljazeera", "2o7", "insecure", "geocities",
    "geo", "pointroll", "servedby", "adtrix", "mediaplex", "gavzad", "keenspot", "kanoodle", "adbrite",
    "targetnet", "adframegenerator", "happy", "collegehumor", "shopping", "msn", "maxserving", "cneteu",
    "content", "search", "idg", "techworld", "advertpro", "washingtonpost", "bluestreak", "questionmarket",
    "media", "nyadmcncserve", "nytimes", "suitesmart", "ihost", "freeze", "metaconsult", "thinktarget",
    "myway", "marketbanker", "adsonar", "adrevolver", "directorym", "adcode", "special_ads", "yieldmanager",
    "mediaplazza", "ysbweb", "adonspot", "adframe", "targetpoint", "firstadsolution", "adzones", "torrentspy",
    "adview", "baventures", "bridgetrack", "revsci", "intelli-direct", "adClutter", "revenue", "adfetch",
    "adsys", "qksrv", "afcyhf", "linksynergy", "bfast", "tqlkg", "cc-dt", "ftjcfx", "lduhtrp", "awltovhc",
    "allposters", "tracking", "engadget", "relatedlabs", "appdb", "winehq", "dealtime", "adlegend", "business",
    "ctx", "mercury", "bravenet", "blogads", "adjuggler", "contextweb", "answers", "hitfarm", "popover",
    "tradedoubler", "shareasale", "tiser", "serving-sys", "reklama", "onet", "premiums", "mads", "adimages",
    "go", "adinsert", "3ps", "log", "utm", "adsfac", "adSwap", "deferAds", "advert", "images", "itnation",
    "chitika", "audiencematch", "publicus", "specificclick", "cpmstar", "popunder", "about",
    "forrestersurveys", "interclick", "centrport", "nbc29", "firstaffiliates", "newscientist", "kontera",
    "searchportal", "information", "oingo", "appliedsemantics", "euros4click", "adbureau", "pro-market",
    "valueclick", "dart", "chron", "layer-ads", "pandora", "hitbox", "affiliates", "newspaperads", "paypopup",
    "nextag", "brandconversions", "brightcove", "adsrevenue", "infinityads", "nationalgeographic",
    "comicgenesis", "topix", "eyewonder", "unicast"    };
    return keywords;
}

bool hasCookieKeyword(std::string_view text) {
    const auto& keywords = cookieKeywords();
    return std::any_of(keywords.begin(), keywords.end(),
                       [&](std::string_view k) { return text.find(k) != std::string_view::npos; });
}

std::vector<std::string> cookieSites(std::string_view fileText) {
    std::vector<std::string> sites;
    std::vector<std::string_view> record;
    std::size_t pos = 0;
    while (pos < fileText.size()) {
        std::size_t end = fileText.find('\n', pos);
        std::string_view line = fileText.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line == "*") {
            if (record.size() >= 3 && !record[2].empty() &&
                std::find(sites.begin(), sites.end(), record[2]) == sites.end())
                sites.emplace_back(record[2]);
            record.clear();
        } else {
            record.push_back(line);
        }
        if (end == std::string_view::npos)
            break;
        pos = end + 1;
    }
    return sites;
}

void Cookies(ScanContext& ctx, ResultList& lvco) {
    const std::string cookies = reg::regReadString(ctx.store, reg::Root::CurrentUser, kShellFolders, "Cookies");
    // Without a cookies folder the mask names no cookie file: nothing is listed.
    const std::string folder = cookies.empty() ? std::string() : cookies + "\\";
    std::vector<std::string> names;
    if (!folder.empty() && ctx.files)
        ctx.files->listFolder(names, folder, "*.txt");
    ctx.ramp(0, 30);
    const std::string user = profileUser(cookies);
    for (const auto& name : names) {
        if (text::asciiLower(name) == "index.dat")
            continue;
        const bool nameSaysIt = name.find('@') != std::string::npos;
        bool found = hasCookieKeyword(name);
        std::vector<std::string> sites;
        if (!nameSaysIt) {
            if (auto content = ctx.files->readFile(folder + name, kMaxCookieFile))
                sites = cookieSites(*content);
            for (const auto& site : sites)
                found = found || hasCookieKeyword(user + "@" + site);
        }
        if (!found)
            continue;
        addFileRow(ctx, lvco, folder, name, nameSaysIt || sites.empty() ? "All items listed in Cookies" : joined(sites));
    }
    ctx.ramp(30, 100);
}

void removeco(ScanContext& ctx, ResultList& lvco) { fileListRepair(ctx, lvco); }

}  // namespace kestrane
