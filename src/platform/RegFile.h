#pragma once
// Registry editor files (.reg): "Windows Registry Editor Version 5.00"
// (UTF-16LE with a byte-order mark) and REGEDIT4.

#include <string>

#include "platform/RegistryStore.h"
#include "platform/Result.h"

namespace kestrane::reg {

// The whole registry of the store as a Version 5.00 file: HKEY_LOCAL_MACHINE,
// then HKEY_USERS\S-1-5-21-0-0-0-1000 for the user's hive. Returns the bytes
// of the file (UTF-16LE with BOM, CRLF).
std::string exportRegistry(const RegistryStore& store);

// Applies a .reg file's bytes to the store (keys, values, [-key] and
// "name"=- deletions). Nothing is applied when the file cannot be read.
Status importRegistry(RegistryStore& store, const std::string& fileBytes, const std::string& fileName);

}  // namespace kestrane::reg
