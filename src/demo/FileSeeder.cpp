#include "demo/FileSeeder.h"

#include <fstream>
#include <system_error>

namespace kestrane::demo {

namespace fs = std::filesystem;

fs::path FileSeeder::hostPath(std::string_view winPath) const {
    fs::path result = m_prefix / "drive_c";
    std::string_view rest = winPath;
    if (rest.size() >= 2 && (rest[0] == 'C' || rest[0] == 'c') && rest[1] == ':')
        rest.remove_prefix(2);
    while (!rest.empty()) {
        const std::size_t sep = rest.find('\\');
        const std::string_view part = rest.substr(0, sep);
        // Only plain names: the demo's own paths never climb out of drive_c.
        if (!part.empty() && part != "." && part != "..")
            result /= std::string(part);
        if (sep == std::string_view::npos)
            break;
        rest.remove_prefix(sep + 1);
    }
    return result;
}

void FileSeeder::fail(const std::string& what, const fs::path& path, const std::error_code& ec) {
    if (m_status)
        m_status = makeError(ErrorKind::Failure, what + " '" + path.string() + "': " + ec.message());
}

void FileSeeder::folder(std::string_view winPath) {
    if (!m_status)
        return;
    const fs::path path = hostPath(winPath);
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec)
        fail("Cannot create the folder", path, ec);
}

void FileSeeder::writeHost(const fs::path& path, std::string_view content) {
    if (!m_status)
        return;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) {
        fail("Cannot create the folder", path.parent_path(), ec);
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out)
        fail("Cannot write the file", path, std::make_error_code(std::errc::io_error));
}

void FileSeeder::file(std::string_view winPath, std::string_view content) {
    writeHost(hostPath(winPath), content);
}

void FileSeeder::prefixFile(const fs::path& relative, std::string_view content) {
    if (relative.is_absolute() || relative.empty() || *relative.begin() == "..")
        return fail("Not a path inside the prefix", relative, std::make_error_code(std::errc::invalid_argument));
    writeHost(m_prefix / relative, content);
}

void FileSeeder::sizedFile(std::string_view winPath, std::string_view text, std::size_t size) {
    std::string content(text.substr(0, size));
    // A fixed filler, so the demo is the same byte for byte every time.
    for (std::size_t i = content.size(); i < size; ++i)
        content.push_back(static_cast<char>('a' + i % 26));
    writeHost(hostPath(winPath), content);
}

void FileSeeder::link(const fs::path& relative, const fs::path& target) {
    if (!m_status)
        return;
    const fs::path path = m_prefix / relative;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (!ec)
        fs::create_symlink(target, path, ec);
    if (ec)
        fail("Cannot create the link", path, ec);
}

}  // namespace kestrane::demo
