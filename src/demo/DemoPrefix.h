#pragma once
// The demo prefix: a Wine prefix made by this program, not by Wine, with a
// little of every kind of cruft the scanners look for, so that the whole
// program can be seen at work on a machine without Wine or without a used
// prefix. It has the shape wineboot gives a prefix (system.reg, user.reg,
// drive_c, dosdevices/c:) and never reaches outside its own folder: there is
// no z: drive and every user folder is a real folder.

#include <filesystem>

#include "platform/Result.h"

namespace kestrane::demo {

// The name of the file that marks a folder as a demo prefix made by us.
inline constexpr const char* kMarkerFileName = ".kestrane-demo";

// $XDG_DATA_HOME/kestrane/demo-prefix, or ~/.local/share/kestrane/demo-prefix
// when XDG_DATA_HOME is unset, empty or not absolute.
std::filesystem::path defaultDemoPrefixPath();

// Creates the demo prefix at `where` unless one is already there (then it is
// reused as it is); with reset, removes it first (only if it is a demo prefix
// we made: a marker file `.kestrane-demo` in it) and makes it anew.
//
// A folder that exists without the marker is never changed: an empty one is
// filled, any other one is an error. A demo prefix whose making was cut short
// (its marker says so) is made anew. Returns the absolute path of the prefix.
Result<std::filesystem::path> ensureDemoPrefix(const std::filesystem::path& where, bool reset);

// Whether `prefix` is a complete demo prefix made by us (its marker says so).
bool isDemoPrefix(const std::filesystem::path& prefix);

// The demo's own Trash, where the demo keeps what its programs "deleted to
// the recycle bin": inside the demo folder, never the user's Trash. Named as
// the Trash at the top of a file system is, its records name their paths
// relative to the prefix folder, so that every demo is alike.
std::filesystem::path demoTrashFolder(const std::filesystem::path& prefix);

}  // namespace kestrane::demo
