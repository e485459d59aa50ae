#pragma once
// The ignore lists of the categories whose findings can be ignored (those
// with an ignore code in the category table), each kept in memory and in a
// file "Data<code>.dat" in the program's "Kestrane Pro" folder: one line per
// entry, the ignored value, "=", the error location, CR LF.

#include <map>
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
    // `folder` is the host folder of "\Kestrane Pro" under the program-files folder.
    explicit IgnoreLists(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    // Loads every line of the ignore file of each code (a missing file is
    // an empty list). A line without "=" is an entry with an empty location.
    void load(const std::vector<std::string>& codes);

    // Records an ignored row of a category that has a list: in memory first, then as a line of the file
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
    std::filesystem::path m_folder;
    std::map<std::string, std::vector<IgnoreEntry>, std::less<>> m_lists;
};

}  // namespace kestrane
