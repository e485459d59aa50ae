#pragma once
// A folder's whole tree, walked without following links and without long
// paths: one folder is open at a time, each reached from its parent by its
// name and left through "..", which must lead back to the parent the walk
// came from. A tree thousands of folders deep costs no more than its
// entries along the way, and no path grows with its depth.

#include <cstdint>
#include <filesystem>

namespace kestrane::files {

// The bytes of the regular files in the tree (links count nothing, and are
// never followed); a file counts itself. 0 for what does not exist.
std::int64_t treeSize(const std::filesystem::path& path);

// Removes the tree: every file and link in it (a link itself, never what it
// names), then each folder once it is empty, the deepest first, and last the
// folder itself. A file or a link is simply removed; what does not exist
// is no failure. False when something could not be removed or the walk
// lost its way.
bool removeTree(const std::filesystem::path& path);

}  // namespace kestrane::files
