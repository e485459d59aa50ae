#pragma once
// The file version of a Windows program or library, from the version
// resource of its PE file.

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace kestrane::files {

// The most significant 32 bits of the file version (major in the high 16
// bits, minor in the low 16 bits), or 0 when the file has no version
// resource or cannot be read.
std::uint64_t fileVersionNumber(const std::filesystem::path& file);
// The same on the bytes of a file held in memory.
std::uint64_t imageVersionNumber(std::string_view image);

}  // namespace kestrane::files
