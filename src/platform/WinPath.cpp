#include "platform/WinPath.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <system_error>

#include "platform/Text.h"

namespace kestrane::files {

namespace fs = std::filesystem;

namespace {

EntryType typeOf(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return EntryType::BrokenLink;
    if (S_ISDIR(st.st_mode))
        return EntryType::Folder;
    return S_ISREG(st.st_mode) ? EntryType::File : EntryType::Other;
}

bool nameLess(const FolderEntry& e, std::string_view name) { return text::compareNames(e.name, name) < 0; }

}  // namespace

std::shared_ptr<FolderListing> FolderListing::read(const fs::path& folder) {
    auto listing = std::make_shared<FolderListing>();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return listing;
    while (const dirent* d = ::readdir(dir)) {
        std::string_view name = d->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry e{std::string(name), EntryType::Other, false};
        if (d->d_type == DT_DIR)
            e.type = EntryType::Folder;
        else if (d->d_type == DT_REG)
            e.type = EntryType::File;
        else if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN)
            e.type = typeOf(folder / e.name);
        listing->m_entries.push_back(std::move(e));
    }
    ::closedir(dir);
    std::sort(listing->m_entries.begin(), listing->m_entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        int c = text::compareNames(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return listing;
}

const FolderEntry* FolderListing::find(std::string_view name) const {
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), name, nameLess);
    const FolderEntry* first = nullptr;
    for (; it != m_entries.end() && text::equalNames(it->name, name); ++it) {
        if (it->removed)
            continue;
        if (it->name == name)
            return &*it;
        if (!first)
            first = &*it;
    }
    return first;
}

void FolderListing::markRemoved(std::string_view exactName) {
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), exactName, nameLess);
    for (; it != m_entries.end() && text::equalNames(it->name, exactName); ++it)
        if (it->name == exactName)
            it->removed = true;
}

std::optional<WinPathParts> splitWinPath(std::string_view p) {
    auto isSep = [](char c) { return c == '\\' || c == '/'; };
    if (p.size() < 2 || p[1] != ':')
        return std::nullopt;  // no drive (this covers UNC paths too)
    char letter = p[0];
    if (letter >= 'A' && letter <= 'Z')
        letter = static_cast<char>(letter - 'A' + 'a');
    if (letter < 'a' || letter > 'z')
        return std::nullopt;
    WinPathParts parts;
    parts.drive = letter;
    std::size_t i = 2;
    while (i < p.size()) {
        while (i < p.size() && isSep(p[i]))
            ++i;
        std::size_t start = i;
        while (i < p.size() && !isSep(p[i]))
            ++i;
        std::string_view comp = p.substr(start, i - start);
        if (comp != "." && comp != "..") {
            // As on Windows, trailing blanks and dots of a name are not part of it.
            std::size_t keep = comp.find_last_not_of(" .");
            if (keep != std::string_view::npos)
                comp = comp.substr(0, keep + 1);
        }
        if (comp.empty() || comp == ".")
            continue;
        if (comp == "..") {
            if (!parts.components.empty())
                parts.components.pop_back();
            continue;
        }
        parts.components.emplace_back(comp);
    }
    return parts;
}

WinPath::WinPath(fs::path prefix) : m_prefix(std::move(prefix)) {}

void WinPath::beginAction() {
    forgetCache();
    m_caching = true;
}

void WinPath::endAction() {
    forgetCache();
    m_caching = false;
}

void WinPath::forgetCache() {
    m_listings.clear();
    m_winFolders.clear();
    m_hostFolders.clear();
    m_drives.clear();
}

std::optional<fs::path> WinPath::driveRoot(char letter) {
    if (letter >= 'A' && letter <= 'Z')
        letter = static_cast<char>(letter - 'A' + 'a');
    if (m_caching) {
        auto it = m_drives.find(letter);
        if (it != m_drives.end())
            return it->second;
    }
    const fs::path devices = m_prefix / "dosdevices";
    const fs::path link = devices / (std::string(1, letter) + ":");
    std::optional<fs::path> root;
    std::error_code ec;
    fs::path target = fs::read_symlink(link, ec);
    if (!ec)
        root = (target.is_absolute() ? target : devices / target).lexically_normal();
    else if (fs::is_directory(fs::symlink_status(link, ec)))
        root = link;
    if (root && !root->has_filename() && *root != root->root_path())
        root = root->parent_path();  // drop a trailing separator
    if (m_caching)
        m_drives[letter] = root;
    return root;
}

std::shared_ptr<const FolderListing> WinPath::listing(const fs::path& hostFolder) {
    return listingOf(hostFolder.native());
}

std::shared_ptr<const FolderListing> WinPath::listingOf(const std::string& hostFolder) {
    if (!m_caching)
        return FolderListing::read(hostFolder);
    auto it = m_listings.find(hostFolder);
    if (it == m_listings.end())
        it = m_listings.emplace(hostFolder, FolderListing::read(hostFolder)).first;
    return it->second;
}

std::optional<std::string> WinPath::lookup(const std::string& folder, const std::string& name) {
    if (!m_caching) {
        struct stat st {};
        if (::lstat((folder + '/' + name).c_str(), &st) == 0)
            return name;  // the exact name exists: no need to read the folder
    }
    auto entries = listingOf(folder);
    if (const FolderEntry* e = entries->find(name))
        return e->name;
    return std::nullopt;
}

namespace {

void appendComponent(std::string& host, std::string_view name) {
    if (host.empty() || host.back() != '/')
        host += '/';
    host += name;
}

}  // namespace

std::optional<std::string> WinPath::startOf(std::string_view winPath, WinPathParts& parts) {
    auto split = splitWinPath(winPath);
    if (!split)
        return std::nullopt;
    auto root = driveRoot(split->drive);
    if (!root)
        return std::nullopt;
    parts = std::move(*split);
    // Paths are built as plain text: appending to a path object splits it anew each time.
    return root->native();
}

std::optional<fs::path> WinPath::toHost(std::string_view winPath) {
    auto host = toHostText(winPath);
    if (!host)
        return std::nullopt;
    return fs::path(std::move(*host));
}

std::optional<std::string> WinPath::toHostText(std::string_view winPath) {
    if (m_caching) {
        // A path ending in a plain name: its folder's mapping is kept for the
        // action, then one search of the folder's listing.
        auto sep = winPath.find_last_of("\\/");
        if (sep != std::string_view::npos && sep >= 2 && winPath[1] == ':') {
            std::string_view name = winPath.substr(sep + 1);
            bool plain = !name.empty() && name.back() != ' ' && name.back() != '.';
            if (plain) {
                std::string key = text::asciiLower(winPath.substr(0, sep));
                auto it = m_hostFolders.find(key);
                if (it == m_hostFolders.end())
                    it = m_hostFolders.emplace(std::move(key), resolveHost(winPath.substr(0, sep))).first;
                if (!it->second)
                    return std::nullopt;
                std::string host = *it->second;
                auto found = lookup(host, std::string(name));
                appendComponent(host, found ? *found : name);
                return host;
            }
        }
    }
    return resolveHost(winPath);
}

std::optional<std::string> WinPath::resolveHost(std::string_view winPath) {
    WinPathParts parts;
    auto start = startOf(winPath, parts);
    if (!start)
        return std::nullopt;
    std::string host = std::move(*start);
    bool resolving = true;
    for (const auto& comp : parts.components) {
        if (resolving) {
            if (auto found = lookup(host, comp)) {
                appendComponent(host, *found);
                continue;
            }
            resolving = false;
        }
        appendComponent(host, comp);
    }
    return host;
}

std::optional<EntryType> WinPath::walkEntryType(std::string_view winPath,
                                               std::shared_ptr<const FolderListing>* last) {
    WinPathParts parts;
    auto start = startOf(winPath, parts);
    if (!start)
        return std::nullopt;
    std::string host = std::move(*start);
    if (parts.components.empty()) {
        if (last)
            *last = listingOf(host);
        return EntryType::Folder;
    }
    for (std::size_t i = 0; i < parts.components.size(); ++i) {
        auto entries = listingOf(host);
        const FolderEntry* e = entries->find(parts.components[i]);
        if (!e || e->type == EntryType::BrokenLink)
            return std::nullopt;
        if (i + 1 == parts.components.size()) {
            if (last && e->type == EntryType::Folder) {
                appendComponent(host, e->name);
                *last = listingOf(host);
            }
            return e->type;
        }
        if (e->type != EntryType::Folder)
            return std::nullopt;
        appendComponent(host, e->name);
    }
    return std::nullopt;
}

std::shared_ptr<const FolderListing> WinPath::folderListing(std::string_view winFolder) {
    std::string key = text::asciiLower(winFolder);
    auto it = m_winFolders.find(key);
    if (it != m_winFolders.end())
        return it->second;
    std::shared_ptr<const FolderListing> listing;
    if (walkEntryType(winFolder, &listing) != EntryType::Folder)
        listing.reset();
    m_winFolders.emplace(std::move(key), listing);
    return listing;
}

std::optional<EntryType> WinPath::entryType(std::string_view winPath) {
    if (m_caching) {
        // Most paths end in a plain name in a folder seen before: one lookup
        // of the folder's text, one search of its listing.
        std::size_t sep = winPath.size();
        while (sep > 0 && winPath[sep - 1] != '\\' && winPath[sep - 1] != '/')
            --sep;
        sep = sep == 0 ? std::string_view::npos : sep - 1;
        if (sep != std::string_view::npos && sep >= 2 && winPath[1] == ':') {
            std::string_view name = winPath.substr(sep + 1);
            bool plain = !name.empty() && name.back() != ' ' && name.back() != '.' && name != "." && name != "..";
            if (plain) {
                auto listing = folderListing(winPath.substr(0, sep));
                if (!listing)
                    return std::nullopt;
                const FolderEntry* e = listing->find(name);
                if (!e || e->type == EntryType::BrokenLink)
                    return std::nullopt;
                return e->type;
            }
        }
    }
    return walkEntryType(winPath, nullptr);
}

void WinPath::entryRemoved(const fs::path& hostPath, bool wasFolder) {
    if (!m_caching)
        return;
    auto it = m_listings.find(hostPath.parent_path().native());
    if (it != m_listings.end())
        it->second->markRemoved(hostPath.filename().native());
    if (!wasFolder)
        return;
    m_winFolders.clear();
    m_hostFolders.clear();
    // A removed folder takes its own listing (and those below it) along.
    const std::string& own = hostPath.native();
    for (auto l = m_listings.begin(); l != m_listings.end();) {
        const std::string& key = l->first;
        bool below = key.size() >= own.size() && key.compare(0, own.size(), own) == 0 &&
                     (key.size() == own.size() || key[own.size()] == '/');
        l = below ? m_listings.erase(l) : std::next(l);
    }
}

}  // namespace kestrane::files
