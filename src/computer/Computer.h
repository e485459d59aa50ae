#pragma once
// Everything one run of the program works on: the prefix, its registry, its
// file system, the system folders, the launch probe, the recycle bin, the
// ignore lists, and the scan context that hands them to the actions. The
// window and the command line each open one and build their main window
// model on its context.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

#include "platform/LaunchProbe.h"
#include "platform/Pacer.h"
#include "platform/PrefixFileSystem.h"
#include "platform/RecycleBin.h"
#include "platform/RegistryStore.h"
#include "platform/Result.h"
#include "platform/SystemFolders.h"
#include "results/Category.h"
#include "backup/BackupFolder.h"
#include "backup/UndoFolder.h"
#include "scan/IgnoreLists.h"

namespace kestrane {

// What the user asked for on the command line.
struct PrefixRequest {
    std::string prefix;      // --prefix DIR
    bool demo = false;       // --demo: the demo prefix, made on first use
    bool demoReset = false;  // --demo-reset: the demo prefix made anew
};

// The program's registry editor: $KESTRANE_REGEDIT when set, else the
// "regedit" beside the running program, in the installed program's library
// folder (../lib/kestrane), or in the build tree; empty when there is none.
std::filesystem::path registryEditor();

// The prefix to work on: the demo prefix, else --prefix, else $WINEPREFIX,
// else ~/.wine. Only the demo prefix is checked here (it is made when
// missing): an error of kind Failure when it cannot be made, NotFound when
// no prefix is named at all.
Result<std::filesystem::path> choosePrefix(const PrefixRequest& request);

class Computer {
public:
    // Loads the prefix's registry and resolves the system folders; loads the
    // ignore lists. NotFound when the folder does not exist; the store's
    // error (naming the file and line) when a hive cannot be read.
    static Result<std::unique_ptr<Computer>> open(const std::filesystem::path& prefix, Pacer& pacer);

    ~Computer();
    Computer(const Computer&) = delete;
    Computer& operator=(const Computer&) = delete;

    const std::filesystem::path& prefix() const { return m_prefix; }
    reg::RegistryStore& store() { return *m_store; }
    files::PrefixFileSystem& files() { return *m_files; }
    const files::SystemFolders& folders() const { return m_folders; }
    IgnoreLists& ignores() { return *m_ignores; }
    backup::BackupFolder& backups() { return *m_backups; }
    backup::UndoFolder& undo() { return *m_undo; }
    ScanContext& context() { return m_ctx; }

    // The backups and startbug folders under the program-files folder.
    void createProgramFolders();

    // The pid of a wineserver serving the prefix: while one runs, nothing
    // may be written to the registry.
    std::optional<pid_t> wineServer() const;

    // The Windows path under which programs of this prefix see a host path:
    // through the drive whose folder holds it most closely (c: before z:),
    // else Wine's name for a path outside every drive, "\\?\unix\...".
    std::string windowsPath(const std::filesystem::path& hostPath);

private:
    // After a restore read the registry again: what came from it is read again too.
    void afterReload();
    // What comes from the registry: the folders, the launch probe, the 32-bit half.
    void resolveFromRegistry();

    Computer(std::filesystem::path prefix, std::unique_ptr<reg::RegistryStore> store, Pacer& pacer);

    std::filesystem::path m_prefix;
    std::unique_ptr<reg::RegistryStore> m_store;
    std::unique_ptr<files::PrefixFileSystem> m_files;
    files::SystemFolders m_folders;
    std::unique_ptr<files::LaunchProbe> m_probe;
    // The 32-bit half of a 64-bit prefix (empty on a 32-bit prefix).
    struct Wow64Half;
    std::unique_ptr<Wow64Half> m_wow64;
    files::RecycleBin m_recycleBin;
    std::unique_ptr<IgnoreLists> m_ignores;
    std::unique_ptr<backup::BackupFolder> m_backups;
    std::unique_ptr<backup::UndoFolder> m_undo;
    ScanContext m_ctx;
};

}  // namespace kestrane
