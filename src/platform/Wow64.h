#pragma once
// The 32-bit half of a 64-bit prefix. Its machine-wide registry entries
// live under HKLM\Software\Wow6432Node (and HKCR\Wow6432Node for the
// classes), and a 32-bit program sees the file system redirected:
// <Windows folder>\system32 is <Windows folder>\syswow64, except for
// system32\drivers\etc, catroot, catroot2, spool and logfiles, and its
// program-files folder is "Program Files (x86)".

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFolders.h"

namespace kestrane {

namespace reg {

inline constexpr std::string_view kWow64Node = "Wow6432Node";

// Whether the machine's hive says the prefix is 64-bit (#arch=win64).
bool isWin64(const RegistryStore& store);

// The 32-bit view's key for a key path below the machine's Software:
// "SOFTWARE\Mozilla" gives "SOFTWARE\Wow6432Node\Mozilla" (the spelling and
// a leading backslash kept). Nothing for a path outside Software, for
// Software itself, or for a path already in the 32-bit view.
std::optional<std::string> wow64KeyPath(std::string_view keyPath);

// Whether the key, or a key on its path, is one of Wine's link keys: in the
// 32-bit view many keys are links to the native ones, whose entries are
// read there.
bool reachesThroughLink(const RegistryStore& store, Root root, std::string_view keyPath);

}  // namespace reg

namespace files {

// The path a 32-bit program reaches with `path`: below `systemRoot`,
// system32 becomes syswow64 unless what follows it is one of the folders
// kept as they are. Other paths are returned unchanged.
std::string redirect32(std::string_view path, std::string_view systemRoot);

// The system folders a 32-bit program is given: the program-files and
// common-files folders of the 32-bit view (its ProgramFilesDir, else the
// native "ProgramFilesDir (x86)"; the same for CommonFilesDir), the rest as
// the native ones.
SystemFolders wow64Folders(const reg::RegistryStore& store, const SystemFolders& native);

// A file system as a 32-bit program sees it: every path redirected first.
class Wow64FileSystem final : public FileSystem {
public:
    Wow64FileSystem(FileSystem& native, std::string systemRoot)
        : m_native(native), m_systemRoot(std::move(systemRoot)) {}

    void beginAction() override { m_native.beginAction(); }
    void endAction() override { m_native.endAction(); }
    void listFolder(std::vector<std::string>& list, std::string_view folder, std::string_view pattern) override {
        m_native.listFolder(list, to32(folder), pattern);
    }
    std::int64_t fileSize(std::string_view path) override { return m_native.fileSize(to32(path)); }
    bool fileExists(std::string_view path) override { return m_native.fileExists(to32(path)); }
    bool folderExists(std::string_view path) override { return m_native.folderExists(to32(path)); }
    bool pathExists(std::string_view path) override { return m_native.pathExists(to32(path)); }
    bool isLink(std::string_view path) override { return m_native.isLink(to32(path)); }
    bool insideDriveC(std::string_view path) override { return m_native.insideDriveC(to32(path)); }
    std::optional<std::string> readFile(std::string_view path, std::size_t limit) override {
        return m_native.readFile(to32(path), limit);
    }
    std::uint64_t fileVersion(std::string_view path) override { return m_native.fileVersion(to32(path)); }
    bool deletable(std::string_view path) override { return m_native.deletable(to32(path)); }
    std::optional<std::int64_t> deletableSize(std::string_view path) override {
        return m_native.deletableSize(to32(path));
    }
    Status deleteFile(std::string_view path) override { return m_native.deleteFile(to32(path)); }
    Status deleteEntry(std::string_view path) override { return m_native.deleteEntry(to32(path)); }
    Status removeFolder(std::string_view path) override { return m_native.removeFolder(to32(path)); }
    Status createFolders(std::string_view path) override { return m_native.createFolders(to32(path)); }

private:
    std::string to32(std::string_view path) const { return redirect32(path, m_systemRoot); }

    FileSystem& m_native;
    std::string m_systemRoot;
};

}  // namespace files

}  // namespace kestrane
