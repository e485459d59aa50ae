#include "support/TempPrefix.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace kestrane::test {

const char* const kSystemHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
const char* const kUserHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";

namespace fs = std::filesystem;

fs::path makeTempDir(std::string_view stem) {
    std::string tmpl = (fs::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return tmpl;
}

static std::string withHeader(std::string_view body, const char* header) {
    if (body.substr(0, 13) == "WINE REGISTRY")
        return std::string(body);
    return std::string(header) + std::string(body);
}

TempPrefix::TempPrefix(std::string_view systemReg, std::string_view userReg)
    : m_path(makeTempDir("kestrane-prefix")) {
    writeFile(this->systemReg(), withHeader(systemReg, kSystemHeader));
    writeFile(this->userReg(), withHeader(userReg, kUserHeader));
    fs::create_directories(driveC());
    fs::create_directories(m_path / "dosdevices");
    fs::create_symlink("../drive_c", m_path / "dosdevices" / "c:");
}

TempPrefix::~TempPrefix() {
    std::error_code ec;
    // Make everything writable again so that read-only fixtures are removed too.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

fs::path TempPrefix::write(const fs::path& relative, std::string_view content) {
    fs::path p = m_path / relative;
    fs::create_directories(p.parent_path());
    writeFile(p, content);
    return p;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& file, std::string_view content) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

}  // namespace kestrane::test
