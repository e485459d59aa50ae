#pragma once
// Windows paths of a Wine prefix mapped to host paths, as Wine maps them:
// the drive through the prefix's dosdevices/ links (c: -> ../drive_c,
// z: -> /), then each component looked up without regard to case (an exact
// match wins). A path without a drive, with an unknown drive, or a UNC path
// maps to nothing.
//
// Scanners test a great many paths, so folder listings are cached for the
// length of one action (beginAction() .. endAction()); outside an action
// every lookup reads the disk.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrane::files {

enum class EntryType : std::uint8_t { File, Folder, Other, BrokenLink };

struct FolderEntry {
    std::string name;
    EntryType type = EntryType::Other;  // of the link's target for a link
    bool removed = false;               // deleted through the layer since it was listed
};

// The entries of one host folder ("." and ".." not included), sorted without
// regard to case, so names differing only in case sit side by side.
class FolderListing {
public:
    static std::shared_ptr<FolderListing> read(const std::filesystem::path& folder);

    const std::vector<FolderEntry>& entries() const { return m_entries; }
    // The entry of that exact name, else the first one equal without regard
    // to case; nothing when there is none.
    const FolderEntry* find(std::string_view name) const;
    void markRemoved(std::string_view exactName);

private:
    std::vector<FolderEntry> m_entries;
};

// A Windows path split up: the drive letter (lower case) and the components,
// "." and ".." already applied. Both '\' and '/' separate components.
struct WinPathParts {
    char drive = 0;
    std::vector<std::string> components;
};
std::optional<WinPathParts> splitWinPath(std::string_view winPath);

class WinPath {
public:
    explicit WinPath(std::filesystem::path prefix);

    const std::filesystem::path& prefix() const { return m_prefix; }
    std::filesystem::path driveC() const { return m_prefix / "drive_c"; }

    // Starts one action with an empty listing cache; endAction() drops it.
    void beginAction();
    void endAction();
    bool inAction() const { return m_caching; }

    // The host path of a Windows path. Components that exist are spelled as
    // on disk; from the first one that does not, the rest is kept as written.
    std::optional<std::filesystem::path> toHost(std::string_view winPath);
    // The same as text, for callers that test many paths.
    std::optional<std::string> toHostText(std::string_view winPath);
    // What the Windows path names: a file, a folder, something else, or
    // nothing (also for a path that maps to nothing or a broken link).
    // Reads only folder listings, so during an action it costs no system call
    // for a folder seen before.
    std::optional<EntryType> entryType(std::string_view winPath);

    // The host folder of a drive letter, nothing when the prefix has no such drive.
    std::optional<std::filesystem::path> driveRoot(char letter);

    // The listing of a host folder (empty when it cannot be read); cached
    // during an action.
    std::shared_ptr<const FolderListing> listing(const std::filesystem::path& hostFolder);

    // Keep the cache right after a change made through the layer.
    void entryRemoved(const std::filesystem::path& hostPath, bool wasFolder);
    void forgetCache();

private:
    std::optional<std::string> lookup(const std::string& folder, const std::string& name);
    std::shared_ptr<const FolderListing> listingOf(const std::string& hostFolder);
    // The host folder of the path's drive, and the path split up.
    std::optional<std::string> startOf(std::string_view winPath, WinPathParts& parts);
    std::optional<EntryType> walkEntryType(std::string_view winPath, std::shared_ptr<const FolderListing>* last);
    std::optional<std::string> resolveHost(std::string_view winPath);
    std::shared_ptr<const FolderListing> folderListing(std::string_view winFolder);

    std::filesystem::path m_prefix;
    bool m_caching = false;
    std::unordered_map<std::string, std::shared_ptr<FolderListing>> m_listings;
    // Windows folder texts (ASCII lower case) already resolved in this
    // action, with the listing of the folder (null: not a folder).
    std::unordered_map<std::string, std::shared_ptr<const FolderListing>> m_winFolders;
    // Windows folder texts (ASCII lower case) already mapped to host paths in
    // this action: a walk maps every file of a folder.
    std::unordered_map<std::string, std::optional<std::string>> m_hostFolders;
    std::map<char, std::optional<std::filesystem::path>> m_drives;
};

}  // namespace kestrane::files
