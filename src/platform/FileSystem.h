#pragma once
// The file and folder operations every scanner uses, on Windows paths
// ("C:\users\me\Temp\x.tmp"). A path that maps to nothing lists nothing,
// exists nowhere and deletes nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrane::files {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // One scan or repair: folder contents may be cached until it ends.
    virtual void beginAction() = 0;
    virtual void endAction() = 0;

    // Folder listing: clears the list and adds the names of the entries that
    // match folder + pattern ('*', '?', any case; "." and ".." when the
    // pattern matches them), folders and files alike. The caller passes the
    // folder with its trailing backslash. A missing folder lists nothing.
    virtual void listFolder(std::vector<std::string>& list, std::string_view folder, std::string_view pattern) = 0;
    // Folder listing with paths: each entry as folder + name.
    void listFolderPaths(std::vector<std::string>& list, std::string_view folder, std::string_view pattern);

    // Size in bytes of the first entry that matches the path (wildcards are
    // allowed in its last component); a folder counts 0; -1 when nothing matches.
    virtual std::int64_t fileSize(std::string_view path) = 0;
    // The same as decimal text ("-1" when nothing matches).
    std::string fileSizeText(std::string_view path) { return std::to_string(fileSize(path)); }

    virtual bool fileExists(std::string_view path) = 0;    // a file, not a folder
    virtual bool folderExists(std::string_view path) = 0;
    // A file or a folder of that name exists.
    virtual bool pathExists(std::string_view path) { return fileExists(path) || folderExists(path); }

    // Whether the entry itself is a symbolic link (its target not looked at).
    virtual bool isLink(std::string_view path) = 0;
    // Whether the real place of the path, every link resolved, lies inside
    // the prefix's drive_c (drive_c itself included).
    virtual bool insideDriveC(std::string_view path) = 0;
    // The bytes of a regular file that is not a link, at most `limit` of
    // them; nothing when it is no such file or cannot be read. Never blocks
    // on a device or a pipe.
    virtual std::optional<std::string> readFile(std::string_view path, std::size_t limit) = 0;

    // The file version number of a program or library: the most significant
    // 32 bits of its version resource's file version, 0 when it has none.
    virtual std::uint64_t fileVersion(std::string_view path) = 0;

    // Whether the place of the entry allows deleting it as deleteEntry()
    // does: a finding the program would refuse to delete is not offered.
    // False when it does not exist.
    virtual bool deletable(std::string_view path) = 0;
    // The size an entry offered for deletion shows (a folder: the files in
    // it), or nothing when deletable() would refuse it: both in one look at
    // the entry, for lists of many files.
    virtual std::optional<std::int64_t> deletableSize(std::string_view path) = 0;
    // Deletes a file (deleteFile), what a finding names: a file, a link or a
    // folder with everything in it (deleteEntry), or a folder that is empty
    // (removeFolder). A refused or failed deletion is an error value, never
    // an exception.
    virtual Status deleteFile(std::string_view path) = 0;
    virtual Status deleteEntry(std::string_view path) = 0;
    virtual Status removeFolder(std::string_view path) = 0;
    // Creates the folder and any missing parents.
    virtual Status createFolders(std::string_view path) = 0;
};

inline void FileSystem::listFolderPaths(std::vector<std::string>& list, std::string_view folder,
                                        std::string_view pattern) {
    listFolder(list, folder, pattern);
    for (auto& name : list)
        name.insert(0, folder);
}

// Keeps one action open on a file system for the life of the object.
class FileAction {
public:
    explicit FileAction(FileSystem& files) : m_files(files) { m_files.beginAction(); }
    ~FileAction() { m_files.endAction(); }
    FileAction(const FileAction&) = delete;
    FileAction& operator=(const FileAction&) = delete;

private:
    FileSystem& m_files;
};

}  // namespace kestrane::files
