#pragma once
// A temporary folder outside any prefix, removed when the object dies.

#include <filesystem>
#include <string_view>
#include <system_error>

#include "support/TempPrefix.h"

namespace kestrane::test {

struct ScopedTempDir {
    explicit ScopedTempDir(std::string_view stem) : path(makeTempDir(stem)) {}
    ~ScopedTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    std::filesystem::path path;
};

}  // namespace kestrane::test
