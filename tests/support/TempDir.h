#pragma once
// A temporary folder outside any prefix, removed with everything in it when
// the object dies.

#include <filesystem>
#include <string_view>
#include <system_error>

#include "support/TempPrefix.h"

namespace kestrane::test {

class TempDir {
public:
    explicit TempDir(std::string_view stem = "kestrane-test") : m_path(makeTempDir(stem)) {}
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace kestrane::test
