#pragma once
// The undo files of registry repairs: before a repair's changes are saved,
// a registry editor file that gives back what it took is written to the
// undo folder (the program-files folder + "\Kestrane Professional\Undo"),
// named "Undo_" H "-" Mi "-" S "_" D "-" Mo "-" Y ".reg" after the local
// time, with "_2", "_3"... when a name of that second is taken. Loading one
// back imports it into the registry and saves it.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/PrefixFileSystem.h"
#include "platform/RegistryStore.h"
#include "results/Backups.h"

namespace kestrane::backup {

class UndoFolder final : public RegistryUndo {
public:
    struct Setup {
        std::filesystem::path prefix;
        reg::RegistryStore& store;
        files::PrefixFileSystem& files;
        std::string folder;                   // the undo folder, a Windows path
        const files::Clock* clock = nullptr;  // the system clock when not set
    };
    explicit UndoFolder(Setup setup) : m_s(std::move(setup)) {}

    // Writes the file (never over another one) and flushes it to disk.
    Result<std::string> write(const std::string& regFile) override;

    // The undo files, the oldest first by the time their names give (names
    // that give none last), each with that date and time in the user's
    // regional formats.
    std::vector<BackupRow> list();

    // Imports an undo file of the folder into the registry and saves it.
    // Refused while a wineserver serves the prefix (ErrorKind::WineRunning),
    // and for a name with a folder part or one that is no file of the folder.
    Status apply(const std::string& file);

    // The host folder of the undo files, made when it is missing (unless
    // only read: listing or loading one adds nothing to the prefix).
    Result<std::filesystem::path> hostFolder(bool make = true);

private:
    Setup m_s;
};

}  // namespace kestrane::backup
