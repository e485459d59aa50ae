#include "backup/UndoFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "backup/BackupFolder.h"
#include "backup/BackupNames.h"
#include "platform/RegFile.h"
#include "platform/WineServer.h"

namespace kestrane::backup {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStem = "Undo_";

// What the name of an undo file gives, read as a backup's name is read.
NameDate readUndoName(std::string_view name) {
    if (name.substr(0, kStem.size()) != kStem)
        return {};
    return readBackupName("Backup_" + std::string(name.substr(kStem.size())));
}

Status writeNew(const fs::path& file, const std::string& bytes, bool& taken) {
    taken = false;
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        taken = errno == EEXIST;
        return makeError(ErrorKind::Failure, file.string() + ": " + std::strerror(errno));
    }
    for (std::size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(file.c_str());
            return makeError(ErrorKind::Failure, file.string() + ": " + std::strerror(error));
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(file.c_str());
        return makeError(ErrorKind::Failure, file.string() + ": " + std::strerror(error));
    }
    if (int dir = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace

Result<fs::path> UndoFolder::hostFolder(bool make) {
    if (make && !m_s.files.folderExists(m_s.folder))
        if (Status made = m_s.files.createFolders(m_s.folder); !made)
            return makeError(made.error().kind,
                             "cannot make the undo folder " + m_s.folder + ": " + made.error().message);
    auto host = m_s.files.paths().toHost(m_s.folder);
    if (!host)
        return makeError(ErrorKind::NotFound, "the undo folder " + m_s.folder + " is not a folder of this prefix");
    return *host;
}

Result<std::string> UndoFolder::write(const std::string& regFile) {
    auto folder = hostFolder();
    if (!folder)
        return folder.error();
    const std::string base = backupFileName(files::localNow(m_s.clock)).substr(std::string_view("Backup_").size());
    const std::string stem = std::string(kStem) + base.substr(0, base.size() - 4);  // without ".reg"
    for (int n = 1; n < 1000; ++n) {
        const std::string name = stem + (n == 1 ? "" : "_" + std::to_string(n)) + ".reg";
        bool taken = false;
        Status written = writeNew(*folder / name, regFile, taken);
        if (written) {
            m_s.files.paths().forgetCache();
            return name;
        }
        if (!taken)
            return written.error();
    }
    return makeError(ErrorKind::Failure, "no free name for an undo file in " + folder.value().string());
}

std::vector<BackupRow> UndoFolder::list() {
    std::vector<std::string> names;
    m_s.files.listFolder(names, m_s.folder + "\\", "*.reg");
    struct Item {
        std::string name;
        NameDate read;
    };
    std::vector<Item> items;
    for (auto& name : names) items.push_back({name, readUndoName(name)});
    auto key = [](const NameDate& r) {
        return std::tuple(!r.complete, r.complete ? r.date->year : 0, r.complete ? r.date->month : 0,
                          r.complete ? r.date->day : 0, r.complete ? r.time->hour : 0,
                          r.complete ? r.time->minute : 0, r.complete ? r.time->second : 0);
    };
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return key(a.read) < key(b.read) || (key(a.read) == key(b.read) && a.name.size() < b.name.size());
    });
    const RegionalFormats f = regionalFormats(m_s.store);
    std::vector<BackupRow> rows;
    for (const auto& item : items)
        rows.push_back({item.name, item.read.date ? formatDate(f, *item.read.date) : "",
                        item.read.time ? formatTime(f, *item.read.time) : ""});
    return rows;
}

Status UndoFolder::apply(const std::string& file) {
    if (!plainFileName(file))
        return makeError(ErrorKind::NotFound, "\"" + file + "\" is not a file of the undo folder");
    if (auto pid = reg::runningWineServer(m_s.prefix))
        return makeError(ErrorKind::WineRunning, "Wine is running on " + m_s.prefix.string() + " (wineserver pid " +
                                                     std::to_string(*pid) +
                                                     "). Close all Wine programs of this prefix first; nothing "
                                                     "was changed.");
    auto folder = hostFolder(false);
    if (!folder)
        return folder.error();
    const fs::path path = *folder / file;
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(path, ec)))
        return makeError(ErrorKind::NotFound, "no undo file " + file + " in " + folder.value().string());
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (Status imported = reg::importRegistry(m_s.store, bytes.str(), path.string()); !imported)
        return imported;
    return m_s.store.save();
}

}  // namespace kestrane::backup
