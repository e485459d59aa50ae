#pragma once
// Writes the demo's folders and files below a prefix folder. Paths are the
// Windows paths of drive C ("C:\windows\temp\x.tmp"); they are made exactly
// as spelled, below <prefix>/drive_c. The first failure is kept and the
// calls after it do nothing. Nothing is ever written outside the prefix.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrane::demo {

class FileSeeder {
public:
    explicit FileSeeder(std::filesystem::path prefix) : m_prefix(std::move(prefix)) {}

    // The host path of a Windows path on drive C (no lookup: as spelled).
    std::filesystem::path hostPath(std::string_view winPath) const;

    void folder(std::string_view winPath);
    // A file with the given content; its folders are made as needed.
    void file(std::string_view winPath, std::string_view content);
    // A file of exactly `size` bytes: the text, then a fixed filler.
    void sizedFile(std::string_view winPath, std::string_view text, std::size_t size);
    // A file at prefix/relative, outside drive_c (the demo's own Trash).
    void prefixFile(const std::filesystem::path& relative, std::string_view content);
    // A symbolic link at prefix/relative pointing to target (as written).
    void link(const std::filesystem::path& relative, const std::filesystem::path& target);

    const Status& status() const { return m_status; }

private:
    void fail(const std::string& what, const std::filesystem::path& path, const std::error_code& ec);
    void writeHost(const std::filesystem::path& path, std::string_view content);

    std::filesystem::path m_prefix;
    Status m_status;
};

}  // namespace kestrane::demo
