#pragma once
// The prefix's recycle bin. A file that a Windows program deletes to the
// recycle bin goes, under Wine, to the desktop user's freedesktop.org Trash
// (the home Trash, or the `.Trash-UID` folder at the top of another file
// system), with a `.trashinfo` record whose `Path=` names it through the
// prefix (".../pfx/dosdevices/c:/Docs/old.txt"). The prefix's recycle bin
// is exactly the Trash entries whose record names a path inside the prefix;
// what Linux programs and other prefixes threw away is never touched, and
// nothing of the Trash is read beyond the records and those entries.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace kestrane::files {

class WinPath;

struct RecycleBinContents {
    std::int64_t items = 0;  // entries: a folder counts as one item
    std::int64_t bytes = 0;  // their total size, a folder's the sum of its files
};

struct TrashEntry {
    std::filesystem::path trash;     // the Trash folder (holding files/ and info/)
    std::string name;                // the entry's name in files/
    std::filesystem::path original;  // where it was, as its record says
};

class RecycleBin {
public:
    // The recycle bin of `prefix` among the entries of the given Trash folders.
    RecycleBin(std::filesystem::path prefix, std::vector<std::filesystem::path> trashFolders);

    // $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
    static std::filesystem::path homeTrash();
    // The Trash folders that can hold what a program of the prefix deleted:
    // the home Trash, and `.Trash-UID` at the top of the prefix's file system
    // when the prefix lies on another one.
    static std::vector<std::filesystem::path> trashFoldersFor(const std::filesystem::path& prefix);

    const std::vector<std::filesystem::path>& trashFolders() const { return m_trashFolders; }

    // The prefix's entries, in the order of the Trash folders and of their
    // records' names. An entry without a readable record is not the prefix's.
    std::vector<TrashEntry> entries() const;
    // Links are counted as items but never followed.
    RecycleBinContents query() const;
    // Removes each of the prefix's entries (the entry without following
    // links, then its record); nothing else of the Trash.
    Status empty();

    // Whether a path a record names lies inside the prefix, its drive links
    // (dosdevices/x:) resolved as the prefix resolves them.
    bool insidePrefix(const std::filesystem::path& original) const;

private:
    std::filesystem::path m_prefix;
    std::filesystem::path m_realPrefix;
    std::vector<std::filesystem::path> m_trashFolders;
};

// The path of a `.trashinfo` record's "Path=" line, its %-escapes decoded,
// made absolute against the top folder of the Trash's file system; empty
// when the record has no such line.
std::filesystem::path trashInfoPath(std::string_view record, const std::filesystem::path& topFolder);

// The shell version: the file version number of the prefix's
// C:\windows\system32\shell32.dll (0 when there is none).
std::uint64_t shellVersion(WinPath& paths);

}  // namespace kestrane::files
