#pragma once
// What the backups view, repair all and the optimizer ask of the registry
// backups and of the optimizer walk. The model runs the views, the status
// texts and the progress; the implementation (the registry editor run in
// the backups folder, the walk) is given to it by the front end.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace kestrane {

// A row of the backups list: the file name, and the date and the time of
// its name in the short date and long time format of the user's regional
// settings (empty when the name does not give them).
struct BackupRow {
    std::string file;
    std::string date;
    std::string time;
};

class RegistryBackups {
public:
    virtual ~RegistryBackups() = default;

    // The backups folder's *.reg files in listing order, each with the date
    // and time its name gives. A name that gives none ends the listing: its
    // row keeps what was read before, no later name is listed.
    virtual std::vector<BackupRow> list() = 0;
    // Makes a backup named after the local time: the registry editor
    // exports the whole registry into the backups folder, `whileRunning`
    // runs while it does, then the export is waited for and checked.
    // The new row, or why there is none.
    virtual Result<BackupRow> create(const std::function<void()>& whileRunning) = 0;
    // The pid of a wineserver serving the prefix; while one runs nothing
    // may be restored.
    virtual std::optional<int> wineServer() = 0;
    // Restores a backup: the registry editor imports it with its questions
    // answered, `whileRunning` runs meanwhile, the import is waited for and
    // checked, and the registry is read again from the prefix.
    virtual Status restore(const std::string& file, const std::function<void()>& whileRunning) = 0;
    // Starts the registry editor's import with its windows shown and
    // returns at once: the user answers its questions.
    virtual Status startRestore(const std::string& file) = 0;
    // Deletes a backup file of the backups folder.
    virtual Status remove(const std::string& file) = 0;
};

// Where the undo files of registry repairs go: a registry editor file that
// gives back what a repair took away, written before the repair is saved.
class RegistryUndo {
public:
    virtual ~RegistryUndo() = default;
    // Writes an undo file with these bytes, flushed to disk; its file name,
    // or why it was not written.
    virtual Result<std::string> write(const std::string& regFile) = 0;
};

// The optimizer view's panel (Panel4): its labels and its two bars.
struct ProgressBar {
    int maximum = 100;
    int position = 0;
};

struct OptimizerPanel {
    std::string hivetext = "Hive";
    std::string labelnode = "labelnode";
    std::string labelvalues = "labelvalues";
    bool labelsShown = false;  // labelnode and labelvalues, hidden at start-up
    ProgressBar PBHive;
    ProgressBar PBNodes;
    // Told after every step of the walk (a key or a value name shown), for
    // whoever follows it as it goes.
    std::function<void(const OptimizerPanel&)> stepped{};
};

}  // namespace kestrane
