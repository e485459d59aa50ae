#include "demo/PeImage.h"

#include <cstddef>
#include <string_view>

namespace kestrane::demo {

namespace {

// Little-endian writer into a growing byte string.
class Bytes {
public:
    std::size_t size() const { return m_data.size(); }
    void u8(std::uint8_t v) { m_data.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v & 0xff));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xffff));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void u64(std::uint64_t v) {
        u32(static_cast<std::uint32_t>(v & 0xffffffffu));
        u32(static_cast<std::uint32_t>(v >> 32));
    }
    void text(std::string_view s) { m_data.append(s); }
    void utf16z(std::string_view ascii) {
        for (char c : ascii)
            u16(static_cast<std::uint16_t>(static_cast<unsigned char>(c)));
        u16(0);
    }
    void padTo(std::size_t size) {
        if (m_data.size() < size)
            m_data.append(size - m_data.size(), '\0');
    }
    void align(std::size_t unit) { padTo((m_data.size() + unit - 1) / unit * unit); }
    void put16(std::size_t at, std::uint16_t v) {
        m_data[at] = static_cast<char>(v & 0xff);
        m_data[at + 1] = static_cast<char>(v >> 8);
    }
    std::string take() { return std::move(m_data); }

private:
    std::string m_data;
};

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;

std::uint32_t alignUp(std::uint32_t v, std::uint32_t unit) { return (v + unit - 1) / unit * unit; }

// VS_VERSIONINFO with its VS_FIXEDFILEINFO and no string tables.
std::string versionInfo(const FileVersion& v, ImageKind kind) {
    Bytes b;
    b.u16(0);   // wLength, patched below
    b.u16(52);  // wValueLength: sizeof(VS_FIXEDFILEINFO)
    b.u16(0);   // wType: binary
    b.utf16z("VS_VERSION_INFO");
    b.align(4);
    const std::uint32_t ms = (std::uint32_t{v.major} << 16) | v.minor;
    const std::uint32_t ls = (std::uint32_t{v.build} << 16) | v.revision;
    b.u32(0xFEEF04BD);  // dwSignature
    b.u32(0x00010000);  // dwStrucVersion
    b.u32(ms);          // dwFileVersionMS
    b.u32(ls);          // dwFileVersionLS
    b.u32(ms);          // dwProductVersionMS
    b.u32(ls);          // dwProductVersionLS
    b.u32(0x3F);        // dwFileFlagsMask
    b.u32(0);           // dwFileFlags
    b.u32(0x00040004);  // dwFileOS: VOS_NT_WINDOWS32
    b.u32(kind == ImageKind::Dll ? 2 : 1);  // dwFileType: VFT_DLL or VFT_APP
    b.u32(0);           // dwFileSubtype
    b.u32(0);           // dwFileDateMS
    b.u32(0);           // dwFileDateLS
    b.put16(0, static_cast<std::uint16_t>(b.size()));
    return b.take();
}

// The .rsrc section: type directory (RT_VERSION) -> name directory (1) ->
// language directory (0x409) -> data entry -> the version block.
std::string resourceSection(const std::string& info) {
    Bytes b;
    auto directory = [&b](std::uint32_t id, std::uint32_t target) {
        b.u32(0);  // Characteristics
        b.u32(0);  // TimeDateStamp
        b.u16(0);  // MajorVersion
        b.u16(0);  // MinorVersion
        b.u16(0);  // NumberOfNamedEntries
        b.u16(1);  // NumberOfIdEntries
        b.u32(id);
        b.u32(target);
    };
    directory(16, 0x80000000u | 0x18);     // RT_VERSION -> subdirectory at 0x18
    directory(1, 0x80000000u | 0x30);      // ID 1 -> subdirectory at 0x30
    directory(0x409, 0x48);                // language -> data entry at 0x48
    b.u32(kSectionRva + 0x58);             // OffsetToData (an RVA)
    b.u32(static_cast<std::uint32_t>(info.size()));
    b.u32(0);  // CodePage
    b.u32(0);  // Reserved
    b.text(info);
    return b.take();
}

}  // namespace

std::string systemFileImage(const FileVersion& version, ImageKind kind) {
    const std::string rsrc = resourceSection(versionInfo(version, kind));
    const auto rsrcSize = static_cast<std::uint32_t>(rsrc.size());
    const std::uint32_t rawSize = alignUp(rsrcSize, kFileAlignment);
    const std::uint32_t headersSize = kFileAlignment;

    Bytes b;
    // DOS header: "MZ", e_lfanew at 0x3C; Wine's signature right after it.
    b.text("MZ");
    b.padTo(0x3C);
    b.u32(0x80);
    b.text("Wine builtin DLL");
    b.padTo(0x80);
    // PE signature and COFF header.
    b.text(std::string_view("PE\0\0", 4));
    b.u16(0x8664);  // Machine: x86-64
    b.u16(1);       // NumberOfSections
    b.u32(0);       // TimeDateStamp
    b.u32(0);       // PointerToSymbolTable
    b.u32(0);       // NumberOfSymbols
    b.u16(240);     // SizeOfOptionalHeader (PE32+)
    // EXECUTABLE_IMAGE | LARGE_ADDRESS_AWARE, and DLL for a library.
    b.u16(kind == ImageKind::Dll ? 0x2022 : 0x0022);
    // Optional header, PE32+.
    b.u16(0x20B);                // Magic
    b.u8(14);                    // MajorLinkerVersion
    b.u8(0);                     // MinorLinkerVersion
    b.u32(0);                    // SizeOfCode
    b.u32(rawSize);              // SizeOfInitializedData
    b.u32(0);                    // SizeOfUninitializedData
    b.u32(0);                    // AddressOfEntryPoint: none
    b.u32(0);                    // BaseOfCode
    b.u64(0x180000000ULL);       // ImageBase
    b.u32(kSectionAlignment);    // SectionAlignment
    b.u32(kFileAlignment);       // FileAlignment
    b.u16(6);                    // MajorOperatingSystemVersion
    b.u16(1);                    // MinorOperatingSystemVersion
    b.u16(version.major);        // MajorImageVersion
    b.u16(version.minor);        // MinorImageVersion
    b.u16(6);                    // MajorSubsystemVersion
    b.u16(1);                    // MinorSubsystemVersion
    b.u32(0);                    // Win32VersionValue
    b.u32(kSectionRva + alignUp(rsrcSize, kSectionAlignment));  // SizeOfImage
    b.u32(headersSize);          // SizeOfHeaders
    b.u32(0);                    // CheckSum
    b.u16(2);                    // Subsystem: Windows GUI
    b.u16(0x0160);               // DllCharacteristics: high entropy VA, dynamic base, NX
    b.u64(0x100000);             // SizeOfStackReserve
    b.u64(0x1000);               // SizeOfStackCommit
    b.u64(0x100000);             // SizeOfHeapReserve
    b.u64(0x1000);               // SizeOfHeapCommit
    b.u32(0);                    // LoaderFlags
    b.u32(16);                   // NumberOfRvaAndSizes
    for (int i = 0; i < 16; ++i) {
        if (i == 2) {  // the resource directory
            b.u32(kSectionRva);
            b.u32(rsrcSize);
        } else {
            b.u64(0);
        }
    }
    // Section header of .rsrc.
    b.text(std::string_view(".rsrc\0\0\0", 8));
    b.u32(rsrcSize);         // VirtualSize
    b.u32(kSectionRva);      // VirtualAddress
    b.u32(rawSize);          // SizeOfRawData
    b.u32(headersSize);      // PointerToRawData
    b.u32(0);                // PointerToRelocations
    b.u32(0);                // PointerToLinenumbers
    b.u16(0);                // NumberOfRelocations
    b.u16(0);                // NumberOfLinenumbers
    b.u32(0x40000040);       // INITIALIZED_DATA | MEM_READ
    b.padTo(headersSize);
    b.text(rsrc);
    b.padTo(headersSize + rawSize);
    return b.take();
}

}  // namespace kestrane::demo
