#pragma once
// The recycle bin: the user's freedesktop.org Trash, where Wine's recycle
// bin puts deleted files too. Items are the entries of its files/ folder;
// info/ holds one .trashinfo record per item.

#include <cstdint>
#include <filesystem>

#include "platform/Result.h"

namespace kestrane::files {

class WinPath;

struct RecycleBinContents {
    std::int64_t items = 0;  // entries of files/
    std::int64_t bytes = 0;  // their total size, folders counted with everything in them
};

class RecycleBin {
public:
    explicit RecycleBin(std::filesystem::path trashFolder = defaultFolder());

    // $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
    static std::filesystem::path defaultFolder();
    const std::filesystem::path& folder() const { return m_folder; }

    // Links are counted as items but never followed.
    RecycleBinContents query() const;
    // Removes every item of files/ and every record of info/; links are
    // removed themselves, never followed out of the Trash.
    Status empty();

private:
    std::filesystem::path m_folder;
};

// The shell version: the file version number of the prefix's
// C:\windows\system32\shell32.dll (0 when there is none).
std::uint64_t shellVersion(WinPath& paths);

}  // namespace kestrane::files
