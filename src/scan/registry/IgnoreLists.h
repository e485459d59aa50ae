#pragma once
// The ignore lists of the five categories whose findings can be ignored,
// each kept in memory and in a file "Data<code>.dat" in the program's
// "Kestrane Pro" folder: one line per entry, the ignored value, "=", the
// error location, CR LF.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrane {

struct IgnoreEntry {
    std::string value;     // "Ignored Value": the caption of the ignored row
    std::string location;  // "Error Location": its location column
};

class IgnoreLists {
public:
    // The category codes, in loading order.
    static constexpr std::array<std::string_view, 5> kCodes = {"sp", "ue", "pc", "fe", "ax"};

    // `folder` is the host folder of "\Kestrane Pro" under the program-files folder.
    explicit IgnoreLists(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    // Loads every line of every ignore file that exists. A line without "="
    // is an entry with an empty location.
    void load();

    // Records an ignored row: in memory first, then as a line of the file
    // (the folder and the file are created when missing).
    Status ignore(std::string_view code, const std::string& value, const std::string& location);

    // Whether an entry of the category's list has exactly this ignored value
    // (case-sensitive).
    bool ignored(std::string_view code, std::string_view text) const;

    const std::vector<IgnoreEntry>& entries(std::string_view code) const;
    std::filesystem::path file(std::string_view code) const;
    // "lvignoredsp", ... : the hidden list that holds a category's entries.
    static std::string listName(std::string_view code) { return "lvignored" + std::string(code); }

private:
    std::size_t index(std::string_view code) const;

    std::filesystem::path m_folder;
    std::array<std::vector<IgnoreEntry>, kCodes.size()> m_lists;
};

}  // namespace kestrane
