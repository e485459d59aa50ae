#pragma once
// What the registry editor file's exporter, parser and importer share.

#include <string>
#include <string_view>
#include <vector>

namespace kestrane::reg::regformat {

constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4 = "REGEDIT4";
constexpr std::string_view kUserSid = "S-1-5-21-0-0-0-1000";

// A key path split at '\' (empty components dropped), and joined again
// from component `from` on.
std::vector<std::string_view> splitPath(std::string_view path);
std::string joinPath(const std::vector<std::string_view>& parts, std::size_t from);

}  // namespace kestrane::reg::regformat
