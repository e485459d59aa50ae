// The file version of a PE image in memory. Any bytes give an answer
// (0 or a version) without reading outside them. A version found is made of
// bytes of the image that follow VS_FIXEDFILEINFO's signature, and more
// bytes after the image never change it; the images the program writes and
// the tests build give their version, whatever follows them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "demo/PeImage.h"
#include "platform/FileVersion.h"
#include "platform/MinimalPe.h"

using namespace kestrane;
using fuzz::shown;

namespace {

std::string littleEndian(std::uint32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k)
        s[static_cast<std::size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
    return s;
}

struct Known {
    std::string image;
    std::uint64_t version;
};

std::vector<Known>& knownImages() {
    static std::vector<Known> images = [] {
        std::vector<Known> v;
        test::MinimalPeOptions o;
        v.push_back({test::minimalPe(o), 0x00060001});
        o.pe32Plus = true;
        o.versionMs = 0x000A0000;
        v.push_back({test::minimalPe(o), 0x000A0000});
        v.push_back({demo::systemFileImage({6, 1, 7601, 17514}, demo::ImageKind::Dll), 0x00060001});
        v.push_back({demo::systemFileImage({10, 0, 19041, 1}, demo::ImageKind::Program), 0x000A0000});
        return v;
    }();
    return images;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const Known& k : knownImages())
        KESTRANE_CHECK(files::imageVersionNumber(k.image) == k.version, "a well-formed image gives the wrong version");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::uint64_t version = files::imageVersionNumber(input);
    KESTRANE_CHECK(version <= 0xFFFFFFFFu, "a version wider than 32 bits");
    KESTRANE_CHECK(files::imageVersionNumber(input) == version, "two readings of the same bytes differ");
    if (version != 0) {
        KESTRANE_CHECK(input.find(littleEndian(0xFEEF04BDu)) != std::string::npos,
                       "a version without VS_FIXEDFILEINFO's signature in the image");
        KESTRANE_CHECK(input.find(littleEndian(static_cast<std::uint32_t>(version))) != std::string::npos,
                       "a version whose bytes are not in the image");
        const std::u16string key = u"VS_VERSION_INFO";
        std::string keyBytes;
        for (char16_t c : key)
            keyBytes += littleEndian(c).substr(0, 2);
        KESTRANE_CHECK(input.find(keyBytes) != std::string::npos, "a version without the VS_VERSION_INFO key");
        KESTRANE_CHECK(files::imageVersionNumber(input + input + std::string(64, '\xFF')) == version,
                       "bytes after the image changed its version");
    }
    // The fuzzer's bytes after a well-formed image.
    const Known& known = knownImages()[size % knownImages().size()];
    KESTRANE_CHECK(files::imageVersionNumber(known.image + input) == known.version,
                   "bytes after a well-formed image changed its version: " + shown(input, 200));
    return 0;
}
