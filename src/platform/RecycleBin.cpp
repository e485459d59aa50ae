#include "platform/RecycleBin.h"

#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <vector>

#include "platform/FileVersion.h"
#include "platform/WinPath.h"

namespace kestrane::files {

namespace fs = std::filesystem;

namespace {

// A real folder of the Trash (not a link to somewhere else).
bool isRealFolder(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t sizeOf(const fs::directory_entry& entry) {
    std::error_code ec;
    auto status = entry.symlink_status(ec);
    if (ec || !fs::is_regular_file(status))
        return 0;
    auto size = entry.file_size(ec);
    return ec ? 0 : static_cast<std::int64_t>(size);
}

}  // namespace

RecycleBin::RecycleBin(fs::path trashFolder) : m_folder(std::move(trashFolder)) {}

fs::path RecycleBin::defaultFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/')
        return fs::path(data) / "Trash";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : "") / ".local/share/Trash";
}

RecycleBinContents RecycleBin::query() const {
    RecycleBinContents c;
    const fs::path files = m_folder / "files";
    if (!isRealFolder(files))
        return c;
    std::error_code ec;
    for (fs::directory_iterator it(files, ec), end; !ec && it != end; it.increment(ec)) {
        ++c.items;
        c.bytes += sizeOf(*it);
        if (!it->is_symlink(ec) && it->is_directory(ec)) {
            // recursive_directory_iterator does not follow links by default.
            std::error_code ec2;
            for (fs::recursive_directory_iterator sub(it->path(), fs::directory_options::skip_permission_denied, ec2), send;
                 !ec2 && sub != send; sub.increment(ec2))
                c.bytes += sizeOf(*sub);
        }
    }
    return c;
}

Status RecycleBin::empty() {
    bool failed = false;
    for (const char* part : {"files", "info"}) {
        const fs::path folder = m_folder / part;
        if (!isRealFolder(folder))
            continue;
        std::error_code ec;
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            entries.push_back(it->path());
        failed = failed || ec;
        for (const auto& entry : entries) {
            std::error_code rm;
            fs::remove_all(entry, rm);  // removes a link itself, not what it points to
            failed = failed || rm;
        }
    }
    if (failed)
        return makeError(ErrorKind::Failure, "some items of the recycle bin could not be removed");
    return {};
}

std::uint64_t shellVersion(WinPath& paths) {
    auto dll = paths.toHost("C:\\windows\\system32\\shell32.dll");
    return dll ? fileVersionNumber(*dll) : 0;
}

}  // namespace kestrane::files
