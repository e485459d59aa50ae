#pragma once
// A Wine prefix in a temporary folder, for tests: system.reg, user.reg,
// drive_c and dosdevices/c: -> ../drive_c. Removed when the object dies.

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrane::test {

// The first lines Wine writes in each hive.
extern const char* const kSystemHeader;  // "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"
extern const char* const kUserHeader;

class TempPrefix {
public:
    // Hive bodies are appended to the headers above unless they start with
    // "WINE REGISTRY".
    explicit TempPrefix(std::string_view systemReg = "", std::string_view userReg = "");
    ~TempPrefix();
    TempPrefix(const TempPrefix&) = delete;
    TempPrefix& operator=(const TempPrefix&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path driveC() const { return m_path / "drive_c"; }
    std::filesystem::path systemReg() const { return m_path / "system.reg"; }
    std::filesystem::path userReg() const { return m_path / "user.reg"; }

    // Writes a file below the prefix (folders created), returns its path.
    std::filesystem::path write(const std::filesystem::path& relative, std::string_view content = "");

private:
    std::filesystem::path m_path;
};

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, std::string_view content);

// A fresh empty folder below the system's temporary folder.
std::filesystem::path makeTempDir(std::string_view stem);

}  // namespace kestrane::test
