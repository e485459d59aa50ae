#include "platform/FileVersion.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrane::files {

namespace {

// Bounds-checked little-endian reads from a file or from memory.
class Bytes {
public:
    explicit Bytes(std::string_view image) : m_image(image) {}
    explicit Bytes(int fd) : m_fd(fd) {}

    bool read(std::uint64_t offset, void* out, std::size_t n) const {
        if (m_fd < 0) {
            if (offset > m_image.size() || n > m_image.size() - offset)
                return false;
            std::memcpy(out, m_image.data() + offset, n);
            return true;
        }
        if (offset > static_cast<std::uint64_t>(INT64_MAX))
            return false;
        auto got = ::pread(m_fd, out, n, static_cast<off_t>(offset));
        return got >= 0 && static_cast<std::size_t>(got) == n;
    }
    std::optional<std::uint32_t> u16(std::uint64_t offset) const {
        std::array<unsigned char, 2> b{};
        if (!read(offset, b.data(), b.size()))
            return std::nullopt;
        return static_cast<std::uint32_t>(b[0] | (b[1] << 8));
    }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const {
        std::array<unsigned char, 4> b{};
        if (!read(offset, b.data(), b.size()))
            return std::nullopt;
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }

private:
    std::string_view m_image;
    int m_fd = -1;
};

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr unsigned kMaxSections = 96;
constexpr unsigned kMaxEntries = 4096;

struct Section {
    std::uint32_t va, virtualSize, rawSize, rawOffset;
};

class PeFile {
public:
    explicit PeFile(const Bytes& bytes) : m_bytes(bytes) {}

    std::uint64_t version() {
        if (!readHeaders())
            return 0;
        // type RT_VERSION -> first name -> first language -> data entry
        auto level2 = entry(m_rsrcRva, kRtVersion, true);
        if (!level2)
            return 0;
        auto level3 = entry(m_rsrcRva + *level2, std::nullopt, true);
        if (!level3)
            return 0;
        auto data = entry(m_rsrcRva + *level3, std::nullopt, false);
        if (!data)
            return 0;
        auto dataRva = u32At(m_rsrcRva + *data);
        auto dataSize = u32At(m_rsrcRva + *data + 4);
        if (!dataRva || !dataSize || *dataSize < 40 + 52)
            return 0;
        return fixedFileVersion(*dataRva);
    }

private:
    bool readHeaders() {
        auto mz = m_bytes.u16(0);
        auto lfanew = m_bytes.u32(0x3C);
        if (!mz || *mz != 0x5A4D || !lfanew)
            return false;
        auto sig = m_bytes.u32(*lfanew);
        if (!sig || *sig != 0x00004550)
            return false;
        const std::uint64_t coff = std::uint64_t{*lfanew} + 4;
        auto nSections = m_bytes.u16(coff + 2);
        auto optSize = m_bytes.u16(coff + 16);
        const std::uint64_t opt = coff + 20;
        auto magic = m_bytes.u16(opt);
        if (!nSections || !optSize || !magic)
            return false;
        std::uint64_t dirs = 0;
        if (*magic == 0x10B)
            dirs = 96;
        else if (*magic == 0x20B)
            dirs = 112;
        else
            return false;
        auto nDirs = m_bytes.u32(opt + dirs - 4);
        if (!nDirs || *nDirs < 3 || dirs + 3 * 8 > *optSize)
            return false;
        auto rsrc = m_bytes.u32(opt + dirs + 2 * 8);
        if (!rsrc || *rsrc == 0)
            return false;
        m_rsrcRva = *rsrc;
        const std::uint64_t table = opt + *optSize;
        for (unsigned i = 0; i < *nSections && i < kMaxSections; ++i) {
            const std::uint64_t s = table + 40ull * i;
            auto vsize = m_bytes.u32(s + 8), va = m_bytes.u32(s + 12), raw = m_bytes.u32(s + 16),
                 ptr = m_bytes.u32(s + 20);
            if (!vsize || !va || !raw || !ptr)
                return false;
            m_sections.push_back({*va, *vsize, *raw, *ptr});
        }
        return true;
    }

    std::optional<std::uint64_t> offsetOf(std::uint64_t rva) const {
        for (const auto& s : m_sections) {
            if (rva >= s.va && rva - s.va < s.rawSize)
                return std::uint64_t{s.rawOffset} + (rva - s.va);
        }
        return std::nullopt;
    }
    std::optional<std::uint32_t> u32At(std::uint64_t rva) const {
        auto off = offsetOf(rva);
        return off ? m_bytes.u32(*off) : std::nullopt;
    }
    std::optional<std::uint32_t> u16At(std::uint64_t rva) const {
        auto off = offsetOf(rva);
        return off ? m_bytes.u16(*off) : std::nullopt;
    }

    // The offset (from the resource root) that an entry of the directory at
    // dirRva points to: the entry with that id, or the first entry.
    std::optional<std::uint32_t> entry(std::uint64_t dirRva, std::optional<std::uint32_t> id, bool wantDirectory) const {
        auto named = u16At(dirRva + 12), ids = u16At(dirRva + 14);
        if (!named || !ids)
            return std::nullopt;
        const unsigned total = *named + *ids;
        for (unsigned i = 0; i < total && i < kMaxEntries; ++i) {
            auto name = u32At(dirRva + 16 + 8ull * i), target = u32At(dirRva + 20 + 8ull * i);
            if (!name || !target)
                return std::nullopt;
            if (id && ((*name & kSubdirectory) || *name != *id))
                continue;
            if (((*target & kSubdirectory) != 0) != wantDirectory)
                return std::nullopt;
            return *target & ~kSubdirectory;
        }
        return std::nullopt;
    }

    // VS_VERSIONINFO: three 16-bit words, the key "VS_VERSION_INFO" in
    // UTF-16 with its zero, padding to 32 bits, then VS_FIXEDFILEINFO.
    std::uint64_t fixedFileVersion(std::uint64_t rva) const {
        static const char16_t kKey[] = u"VS_VERSION_INFO";
        auto valueLength = u16At(rva + 2);
        if (!valueLength || *valueLength < 52)
            return 0;
        for (std::size_t i = 0; i < std::size(kKey); ++i) {  // the zero included
            auto c = u16At(rva + 6 + 2 * i);
            if (!c || *c != static_cast<std::uint32_t>(kKey[i]))
                return 0;
        }
        const std::uint64_t fixed = rva + 40;  // 6 + 32 bytes, aligned to 4
        auto signature = u32At(fixed);
        auto versionMs = u32At(fixed + 8);
        if (!signature || *signature != kFixedInfoSignature || !versionMs)
            return 0;
        return *versionMs;
    }

    const Bytes& m_bytes;
    std::uint64_t m_rsrcRva = 0;
    std::vector<Section> m_sections;
};

}  // namespace

std::uint64_t imageVersionNumber(std::string_view image) {
    Bytes bytes(image);
    return PeFile(bytes).version();
}

std::uint64_t fileVersionNumber(const std::filesystem::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block us
    if (fd < 0)
        return 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    Bytes bytes(fd);
    std::uint64_t v = PeFile(bytes).version();
    ::close(fd);
    return v;
}

}  // namespace kestrane::files
