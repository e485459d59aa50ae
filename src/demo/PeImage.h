#pragma once
// A minimal 64-bit Windows image holding nothing but a version resource, for
// the demo's system files: the program reads the version of shell32.dll
// before it asks for the recycle bin. Like the files wineboot puts in a
// prefix, the image carries Wine's builtin signature after its DOS header,
// so that Wine, if it is ever run in the demo prefix, loads its own DLLs and
// programs instead of these shells.

#include <cstdint>
#include <string>

namespace kestrane::demo {

struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

enum class ImageKind { Dll, Program };

// The bytes of the image: DOS header with the signature, PE headers, one
// .rsrc section with an RT_VERSION resource (ID 1, language 0x409) whose
// VS_FIXEDFILEINFO carries the version as file and product version.
std::string systemFileImage(const FileVersion& version, ImageKind kind);

}  // namespace kestrane::demo
