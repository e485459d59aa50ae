#pragma once
// The file system of a Wine prefix: Windows paths mapped through its
// dosdevices/ links. Deletions happen only inside the prefix's drive_c.

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "platform/WinPath.h"

namespace kestrane::files {

class PrefixFileSystem final : public FileSystem {
public:
    explicit PrefixFileSystem(std::filesystem::path prefix);
    ~PrefixFileSystem() override;
    PrefixFileSystem(const PrefixFileSystem&) = delete;
    PrefixFileSystem& operator=(const PrefixFileSystem&) = delete;

    WinPath& paths() { return m_paths; }

    void beginAction() override;
    void endAction() override;

    void listFolder(std::vector<std::string>& list, std::string_view folder, std::string_view pattern) override;
    std::int64_t fileSize(std::string_view path) override;
    bool fileExists(std::string_view path) override;
    bool folderExists(std::string_view path) override;
    bool pathExists(std::string_view path) override;

    bool isLink(std::string_view path) override;
    bool insideDriveC(std::string_view path) override;
    std::optional<std::string> readFile(std::string_view path, std::size_t limit) override;
    std::uint64_t fileVersion(std::string_view path) override;

    // Only a file, a link (not one to a folder) or a folder whose real
    // location (its folder with every link resolved) lies inside drive_c may
    // be deleted, as deleteEntry() deletes it. A folder's size is that of
    // the files in its tree.
    bool deletable(std::string_view path) override;
    std::optional<std::int64_t> deletableSize(std::string_view path) override;
    // Only an entry whose real location (its folder with every link
    // resolved) lies inside drive_c is deleted; a link is removed itself,
    // its target never touched. deleteFile() refuses a folder; deleteEntry()
    // removes it with its tree, no link in it followed.
    Status deleteFile(std::string_view path) override;
    Status deleteEntry(std::string_view path) override;
    Status removeFolder(std::string_view path) override;
    Status createFolders(std::string_view path) override;

private:
    struct Match {
        std::filesystem::path folder;  // host folder
        std::string name;
    };
    // The first entry matching a path whose last component may hold wildcards.
    std::optional<Match> firstMatch(std::string_view path);
    std::optional<EntryType> entryType(std::string_view path);
    // The host path to delete (the entry's real folder plus its name) with
    // its lstat(), or the reason it may not be deleted.
    Result<std::string> deletionTarget(std::string_view path, std::string& hostPath, struct stat& st);
    // The same for deleteEntry(): a link to a folder is refused.
    Result<std::string> entryDeletionTarget(std::string_view path, std::string& hostPath, struct stat& st);
    // The same for deleteFile(): a folder, or a link to one, is refused.
    Result<std::string> fileDeletionTarget(std::string_view path, std::string& hostPath, struct stat& st);

    // The real path of a host folder (every link resolved): cached during
    // an action, since a walk asks it for every file of a folder.
    std::optional<std::string> realFolder(const std::string& hostFolder);

    // lstat() of an entry of a real folder, through an open handle of the
    // folder kept for the next entry of the same folder.
    int lstatIn(const std::string& realFolder, const std::string& name, struct stat& st);
    void closeFolder();

    WinPath m_paths;
    std::unordered_map<std::string, std::optional<std::string>> m_realFolders;
    std::string m_openFolder;
    int m_openFolderFd = -1;
};

}  // namespace kestrane::files
