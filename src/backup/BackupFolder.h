#pragma once
// The registry backups of a prefix: files of the backups folder (the
// program-files folder + "\Kestrane Professional\Backups") that the
// program's registry editor writes with "/e" and loads back with "/i". A
// backup and a restore wait for the editor and check what it did.

#include <filesystem>
#include <functional>
#include <string>

#include "backup/BackupNames.h"
#include "backup/Process.h"
#include "platform/Clock.h"
#include "platform/PrefixFileSystem.h"
#include "platform/RegistryStore.h"
#include "results/Backups.h"

namespace kestrane::backup {

// Whether a name given for a backup names a file of the backups folder
// itself: no folder part, not "." or "..".
bool plainFileName(std::string_view name);

class BackupFolder final : public RegistryBackups {
public:
    struct Setup {
        std::filesystem::path prefix;
        reg::RegistryStore& store;
        files::PrefixFileSystem& files;
        std::string folder;                 // the backups folder, a Windows path
        std::filesystem::path regedit;      // the registry editor program
        const files::Clock* clock = nullptr;  // the system clock when not set
        std::function<void()> reloaded{};   // after a restore read the registry again
    };
    explicit BackupFolder(Setup setup) : m_s(std::move(setup)) {}

    std::vector<BackupRow> list() override;
    Result<BackupRow> create(const std::function<void()>& whileRunning) override;
    std::optional<int> wineServer() override;
    Status restore(const std::string& file, const std::function<void()>& whileRunning) override;
    Status startRestore(const std::string& file) override;
    Status remove(const std::string& file) override;

    // The host folder of the backups, made when it is missing (unless only
    // read: listing, restoring or deleting a backup adds nothing to the prefix).
    Result<std::filesystem::path> hostFolder(bool make = true);
    // The formats of the user's regional settings (Control Panel\International).
    RegionalFormats formats() const;

private:
    BackupRow row(const std::string& file, const NameDate& read) const;
    Result<std::filesystem::path> existingBackup(const std::string& file);
    // Runs the registry editor on the prefix in the folder and waits for it,
    // running `whileRunning` meanwhile.
    Result<Finished> runEditor(std::vector<std::string> args, const std::filesystem::path& folder,
                               const std::function<void()>& whileRunning);

    Setup m_s;
};

// Whether the bytes begin as a "Windows Registry Editor Version 5.00" file
// does: the UTF-16LE byte-order mark, then that header.
bool looksLikeRegistryExport(std::string_view bytes);

}  // namespace kestrane::backup
