#pragma once
// Registry editor files (.reg): "Windows Registry Editor Version 5.00"
// (UTF-16LE with a byte-order mark) and REGEDIT4.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/Result.h"

namespace kestrane::reg {

// The whole registry of the store as a Version 5.00 file: HKEY_LOCAL_MACHINE,
// then HKEY_USERS\S-1-5-21-0-0-0-1000 for the user's hive. Returns the bytes
// of the file (UTF-16LE with BOM, CRLF). Link keys are left out.
std::string exportRegistry(const RegistryStore& store);
// The same file handed to `write` a piece at a time, in order, so that a
// large registry never stands whole in memory; stops at the first piece
// `write` refuses (returns false) and returns false then.
bool exportRegistry(const RegistryStore& store, const std::function<bool(std::string_view bytes)>& write);

// One change a .reg file asks for, in the order of the file.
struct RegOperation {
    enum class Kind {
        OpenKey,      // [key]: create the key; the values that follow go there
        DeleteTree,   // [-key]: delete the key and everything below it
        SetValue,     // "name"=data
        DeleteValue,  // "name"=-
    };
    Kind kind = Kind::OpenKey;
    // The key as written, components joined by one '\' ("HKEY_CURRENT_USER\Software\X").
    std::string key;
    Value value;  // SetValue: name, type, data; DeleteValue: name
    std::size_t line = 0;
};

// Reads a .reg file without touching any registry. A file that is not a
// registry editor file, or has a line that cannot be read, is an error that
// names the file and the line.
Result<std::vector<RegOperation>> parseRegFile(std::string_view fileBytes, const std::string& fileName);

// What an import left out.
struct ImportReport {
    std::size_t keys = 0;           // key sections applied
    std::size_t valuesSet = 0;
    std::size_t valuesDeleted = 0;
    std::size_t treesDeleted = 0;
    std::size_t belowLinks = 0;     // key sections below a link key (never written through)
    std::vector<std::string> otherRoots;  // roots this prefix does not hold, e.g. "HKEY_USERS\.Default"
};

// Applies a .reg file's bytes to the store (keys, values, [-key] and
// "name"=- deletions). The whole file is read first: nothing is applied when
// it cannot be read, or when it would write to a hive that is read-only or
// delete a tree holding a link key. The store is not saved.
Status importRegistry(RegistryStore& store, const std::string& fileBytes, const std::string& fileName,
                      ImportReport* report = nullptr);
// The same for the operations of a file already read by parseRegFile().
Status importRegistry(RegistryStore& store, const std::vector<RegOperation>& ops, const std::string& fileName,
                      ImportReport* report = nullptr);

// A Version 5.00 file that gives back what the removals took away: every
// deleted key with its values, every deleted or overwritten value as it
// was, and a value that was new deleted again. Imported, it undoes the
// changes the journal recorded.
std::string undoFile(std::vector<Removal> removals);

// Deletes a key with all its subkeys, the deepest first. A tree that holds a
// link key is refused before anything is deleted.
Status deleteTree(RegistryStore& store, Root root, std::string_view path);

}  // namespace kestrane::reg
