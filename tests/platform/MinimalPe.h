#pragma once
// A minimal PE image with a version resource, built in memory for the tests
// of the version reader: DOS header, PE header, one .rsrc section holding
// RT_VERSION / id 1 / language 0x409 / VS_VERSIONINFO with VS_FIXEDFILEINFO.

#include <cstdint>
#include <string>

namespace kestrane::test {

struct MinimalPeOptions {
    std::uint32_t versionMs = 0x00060001;  // 6.1
    std::uint32_t versionLs = 0x1DB10000;  // 7601.0
    bool pe32Plus = false;
    bool withResourceDirectory = true;
};

// Offsets of interest in the image built with default layout.
constexpr std::size_t kPeSectionOffset = 0x200;
constexpr std::size_t kPeVersionInfoOffset = kPeSectionOffset + 0x58;
constexpr std::size_t kPeVersionMsOffset = kPeVersionInfoOffset + 40 + 8;

inline void putU16(std::string& s, std::size_t at, std::uint32_t v) {
    if (s.size() < at + 2)
        s.resize(at + 2, '\0');
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void putU32(std::string& s, std::size_t at, std::uint32_t v) {
    putU16(s, at, v & 0xFFFF);
    putU16(s, at + 2, v >> 16);
}

inline std::string minimalPe(const MinimalPeOptions& o = {}) {
    std::string img(kPeSectionOffset, '\0');
    img[0] = 'M';
    img[1] = 'Z';
    putU32(img, 0x3C, 0x40);
    img.replace(0x40, 4, std::string("PE\0\0", 4));
    const std::size_t coff = 0x44;
    const std::uint32_t optSize = o.pe32Plus ? 240 : 224;
    putU16(img, coff, o.pe32Plus ? 0x8664 : 0x14C);
    putU16(img, coff + 2, 1);  // one section
    putU16(img, coff + 16, optSize);
    const std::size_t opt = coff + 20;
    putU16(img, opt, o.pe32Plus ? 0x20B : 0x10B);
    const std::size_t dirs = opt + (o.pe32Plus ? 112 : 96);
    putU32(img, dirs - 4, 16);  // NumberOfRvaAndSizes
    const std::uint32_t sectionRva = 0x1000;
    const std::uint32_t sectionSize = 0x58 + 92;
    if (o.withResourceDirectory) {
        putU32(img, dirs + 2 * 8, sectionRva);
        putU32(img, dirs + 2 * 8 + 4, sectionSize);
    }
    const std::size_t sec = opt + optSize;
    img.replace(sec, 5, ".rsrc");
    putU32(img, sec + 8, sectionSize);
    putU32(img, sec + 12, sectionRva);
    putU32(img, sec + 16, sectionSize);
    putU32(img, sec + 20, kPeSectionOffset);

    const std::size_t r = kPeSectionOffset;
    // root: one id entry, RT_VERSION -> subdirectory at 0x18
    putU16(img, r + 14, 1);
    putU32(img, r + 0x10, 16);
    putU32(img, r + 0x14, 0x80000000u | 0x18);
    // names: id 1 -> subdirectory at 0x30
    putU16(img, r + 0x18 + 14, 1);
    putU32(img, r + 0x28, 1);
    putU32(img, r + 0x2C, 0x80000000u | 0x30);
    // languages: 0x409 -> data entry at 0x48
    putU16(img, r + 0x30 + 14, 1);
    putU32(img, r + 0x40, 0x409);
    putU32(img, r + 0x44, 0x48);
    // data entry: RVA and size of VS_VERSIONINFO
    putU32(img, r + 0x48, sectionRva + 0x58);
    putU32(img, r + 0x4C, 92);
    // VS_VERSIONINFO
    const std::size_t v = kPeVersionInfoOffset;
    putU16(img, v, 92);
    putU16(img, v + 2, 52);
    putU16(img, v + 4, 0);
    const char16_t key[] = u"VS_VERSION_INFO";
    for (std::size_t i = 0; i < 16; ++i)
        putU16(img, v + 6 + 2 * i, key[i]);
    const std::size_t f = v + 40;
    putU32(img, f, 0xFEEF04BDu);
    putU32(img, f + 4, 0x00010000);
    putU32(img, f + 8, o.versionMs);
    putU32(img, f + 12, o.versionLs);
    putU32(img, f + 16, o.versionMs);
    putU32(img, f + 20, o.versionLs);
    putU32(img, f + 48, 0);  // last field: the image is complete
    return img;
}

}  // namespace kestrane::test
