// History and Temporary IE: what the browser's history folder "History.IE5"
// (except today's history) and its cache folder "Content.IE5" hold, three
// levels deep. Wine keeps visited addresses only as records of the top
// index.dat, which is never listed (nor edited); the walk finds what a
// program saved there as files.

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/FileList.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kDetail = "All items listed in History Folder";

// The text from the last "." of an entry to its end, unless a "\" or ":"
// follows that "." (then none): "X\." and "X\.." have ".".
std::string_view extensionOfEntry(std::string_view path) {
    auto dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find_first_of("\\:", dot) != std::string_view::npos)
        return {};
    return path.substr(dot);
}

// A file-like entry is one with an extension other than ".IE5" (exact
// case); the walk goes into every other entry.
bool fileLike(std::string_view path) {
    auto ext = extensionOfEntry(path);
    return !ext.empty() && ext != ".IE5";
}

// The entries of one folder that a walk leaves out, as full paths.
struct Excluded {
    std::string dot, dotDot, index;
    Excluded(const std::string& folder, bool withIndex)
        : dot(folder + "\\."), dotDot(folder + "\\.."), index(withIndex ? folder + "\\index.dat" : std::string()) {}
    bool operator()(const std::string& entry) const {
        return entry == dot || entry == dotDot || (!index.empty() && entry == index);
    }
};

struct Walk {
    ScanContext& ctx;
    bool skipIndexDat;       // the cache: "index.dat" at every level
    std::string skipFolder;  // the history: today's folder at the top
    std::vector<std::string> found;

    std::vector<std::string> entries(const std::string& folder) {
        std::vector<std::string> list;
        ctx.files->listFolderPaths(list, folder + "\\", "*.*");
        return list;
    }
    // The walk never goes through a link: what it points to is not the browser's.
    bool enterable(const std::string& entry) const { return !ctx.files->isLink(entry); }

    void top(const std::string& folder) {
        if (ctx.files && ctx.files->insideDriveC(folder))
            level(folder, 1);
    }
    // Levels 1 and 2 list their file-like entries and go into the others;
    // level 3, the last, lists every entry, folders too. The top index.dat
    // is never listed, in either folder; today's history folder is skipped.
    void level(const std::string& folder, int depth) {
        const Excluded excluded(folder, depth == 1 || skipIndexDat);
        const std::string today = depth == 1 && !skipFolder.empty() ? folder + "\\" + skipFolder : std::string();
        for (auto& e : entries(folder)) {
            if (!today.empty() && e == today)
                continue;
            if (depth == 3 || fileLike(e)) {
                if (!excluded(e))
                    found.push_back(std::move(e));
            } else if (enterable(e)) {
                level(e, depth + 1);
            }
        }
    }
};

void browserScan(ScanContext& ctx, ResultList& list, std::string_view value, std::string_view subfolder,
                 bool skipIndexDat, std::string skipFolder) {
    const std::string base = reg::regReadString(ctx.store, reg::Root::CurrentUser, kShellFolders, value);
    Walk walk{ctx, skipIndexDat, std::move(skipFolder), {}};
    // Without the folder the path names no browser folder: nothing is listed.
    if (!base.empty())
        walk.top(base + std::string(subfolder));
    for (const auto& path : walk.found)
        addFileRow(ctx, list, path, kDetail);
    ctx.ramp(0, 100);
}

}  // namespace

std::string todayHistoryFolder(const files::LocalTime& today) {
    auto day = [](int d) { return (d < 10 ? "0" : "") + std::to_string(d); };
    const files::LocalTime tomorrow = files::addDays(today, 1);
    return "MSHist01" + std::to_string(today.year) + std::to_string(today.month) + day(today.day) +
           std::to_string(tomorrow.year) + std::to_string(tomorrow.month) + day(tomorrow.day);
}

void history(ScanContext& ctx, ResultList& lvhis) {
    browserScan(ctx, lvhis, "History", "\\History.IE5", false, todayHistoryFolder(files::localNow(ctx.clock)));
}

void removehis(ScanContext& ctx, ResultList& lvhis) { fileListRepair(ctx, lvhis); }

void tempie(ScanContext& ctx, ResultList& lvtempie) { browserScan(ctx, lvtempie, "Cache", "\\Content.IE5", true, {}); }

void removetempie(ScanContext& ctx, ResultList& lvtempie) { fileListRepair(ctx, lvtempie); }

}  // namespace kestrane
