#include "backup/BackupFolder.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "backup/Process.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/WineServer.h"

namespace kestrane::backup {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string failureText(const std::string& what, const Finished& f) {
    std::string reason = f.errorOutput;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    std::string exit = f.exitCode < 0 ? "ended by a signal" : "exit status " + std::to_string(f.exitCode);
    return what + " (the registry editor: " + exit + (reason.empty() ? "" : ": " + reason) + ")";
}

}  // namespace

bool plainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool looksLikeRegistryExport(std::string_view bytes) {
    if (bytes.size() < 2 + kHeader.size() * 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE')
        return false;
    for (std::size_t i = 0; i < kHeader.size(); ++i)
        if (bytes[2 + 2 * i] != kHeader[i] || bytes[3 + 2 * i] != '\0')
            return false;
    return true;
}

RegionalFormats BackupFolder::formats() const { return regionalFormats(m_s.store); }

BackupRow BackupFolder::row(const std::string& file, const NameDate& read) const {
    const RegionalFormats f = formats();
    return {file, read.date ? formatDate(f, *read.date) : "", read.time ? formatTime(f, *read.time) : ""};
}

std::vector<BackupRow> BackupFolder::list() {
    std::vector<BackupRow> rows;
    std::vector<std::string> names;
    m_s.files.listFolder(names, m_s.folder + "\\", "*.reg");
    for (const auto& name : names) {
        NameDate read = readBackupName(name);
        rows.push_back(row(name, read));
        if (!read.complete)
            break;  // a name that is not a backup's ends the listing
    }
    return rows;
}

Result<fs::path> BackupFolder::hostFolder(bool make) {
    if (make && !m_s.files.folderExists(m_s.folder))
        if (Status made = m_s.files.createFolders(m_s.folder); !made)
            return makeError(made.error().kind, "cannot make the backups folder " + m_s.folder + ": " +
                                                    made.error().message);
    auto host = m_s.files.paths().toHost(m_s.folder);
    if (!host)
        return makeError(ErrorKind::NotFound, "the backups folder " + m_s.folder + " is not a folder of this prefix");
    return *host;
}

Result<Finished> BackupFolder::runEditor(std::vector<std::string> args, const fs::path& folder,
                                         const std::function<void()>& whileRunning) {
    args.insert(args.begin(), {"--prefix", m_s.prefix.string()});
    auto editor = Process::start(m_s.regedit, args, folder);
    if (!editor)
        return editor.error();
    if (whileRunning) whileRunning();
    return editor.value().wait();
}

Result<BackupRow> BackupFolder::create(const std::function<void()>& whileRunning) {
    auto folder = hostFolder();
    if (!folder)
        return folder.error();
    // The name is taken before the export (an empty file, made only where
    // none is), so that no other backup can take it meanwhile. Two backups
    // in one second get one name: the second waits for the next second
    // rather than overwrite the first.
    int takeError = 0;
    auto take = [&](const std::string& candidate) {
        const int fd = ::open((*folder / candidate).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        takeError = fd < 0 ? errno : 0;
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    };
    auto cannotWrite = [&] {
        return makeError(ErrorKind::Failure, "cannot write in the backups folder " + m_s.folder + ": " +
                                                 std::strerror(takeError));
    };
    std::string name = backupFileName(files::localNow(m_s.clock));
    if (!take(name)) {
        if (takeError != EEXIST)
            return cannotWrite();
        for (int i = 0; i < 30 && backupFileName(files::localNow(m_s.clock)) == name; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        name = backupFileName(files::localNow(m_s.clock));
        if (!take(name))
            return takeError == EEXIST ? makeError(ErrorKind::Failure, "a backup named " + name +
                                                                           " exists already; it was not overwritten")
                                       : cannotWrite();
    }
    const fs::path file = *folder / name;
    auto giveUp = [&](std::string why) {
        std::error_code ec;
        fs::remove(file, ec);  // not a backup: it would only mislead later
        return makeError(ErrorKind::Failure, std::move(why));
    };
    auto finished = runEditor({"/e", name}, *folder, whileRunning);
    if (!finished)
        return giveUp(finished.error().message);
    if (finished.value().exitCode != 0)
        return giveUp(failureText("the export of " + name + " failed", finished.value()));
    std::ifstream in(file, std::ios::binary);
    std::string head(2 + kHeader.size() * 2, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (!looksLikeRegistryExport(head))
        return giveUp("the registry editor wrote no backup " + name);
    return row(name, readBackupName(name));
}

std::optional<int> BackupFolder::wineServer() {
    auto pid = reg::runningWineServer(m_s.prefix);
    return pid ? std::optional<int>(static_cast<int>(*pid)) : std::nullopt;
}

Result<fs::path> BackupFolder::existingBackup(const std::string& file) {
    if (!plainFileName(file))
        return makeError(ErrorKind::NotFound, "\"" + file + "\" is not a file of the backups folder");
    auto folder = hostFolder(false);
    if (!folder)
        return folder.error();
    std::error_code ec;
    if (!fs::is_regular_file(*folder / file, ec))
        return makeError(ErrorKind::NotFound, "there is no backup " + file + " in " + m_s.folder);
    return *folder;
}

Status BackupFolder::restore(const std::string& file, const std::function<void()>& whileRunning) {
    auto folder = existingBackup(file);
    if (!folder)
        return folder.error();
    auto finished = runEditor({"--answered", "/i", file}, *folder, whileRunning);
    if (!finished)
        return finished.error();
    Status read = m_s.store.reload();  // whatever the import did, read what is there now
    if (m_s.reloaded) m_s.reloaded();
    if (finished.value().exitCode != 0)
        return makeError(ErrorKind::Failure, failureText("the import of " + file + " failed", finished.value()));
    if (!read)
        return makeError(read.error().kind, "the registry could not be read again: " + read.error().message);
    return {};
}

Status BackupFolder::startRestore(const std::string& file) {
    auto folder = existingBackup(file);
    if (!folder)
        return folder.error();
    return Process::startDetached(m_s.regedit, {"--prefix", m_s.prefix.string(), "/i", file}, *folder);
}

Status BackupFolder::remove(const std::string& file) {
    if (!plainFileName(file))
        return makeError(ErrorKind::NotFound, "\"" + file + "\" is not a file of the backups folder");
    return m_s.files.deleteFile(m_s.folder + "\\" + file);
}

}  // namespace kestrane::backup
