#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileVersion.h"
#include "platform/MinimalPe.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;
using test::MinimalPeOptions;
using test::minimalPe;

TEST(FileVersionTest, ReadsTheMostSignificantHalfOfTheFileVersion) {
    EXPECT_EQ(imageVersionNumber(minimalPe()), 0x00060001u);
    MinimalPeOptions o;
    o.versionMs = 0x00040048;  // 4.72
    o.pe32Plus = true;
    EXPECT_EQ(imageVersionNumber(minimalPe(o)), 0x00040048u);
}

TEST(FileVersionTest, ReadsFromAFile) {
    test::TempDir tmp("kestrane-pe");
    const fs::path& dir = tmp.path();
    test::writeFile(dir / "shell32.dll", minimalPe());
    EXPECT_EQ(fileVersionNumber(dir / "shell32.dll"), 0x00060001u);
    EXPECT_EQ(fileVersionNumber(dir / "missing.dll"), 0u);
    EXPECT_EQ(fileVersionNumber(dir), 0u);  // a folder
}

TEST(FileVersionTest, NoVersionResourceGivesZero) {
    MinimalPeOptions o;
    o.withResourceDirectory = false;
    EXPECT_EQ(imageVersionNumber(minimalPe(o)), 0u);

    std::string wrongSignature = minimalPe();
    wrongSignature[test::kPeVersionMsOffset - 8] ^= 0x01;
    EXPECT_EQ(imageVersionNumber(wrongSignature), 0u);

    std::string wrongKey = minimalPe();
    wrongKey[test::kPeVersionInfoOffset + 6] = 'X';
    EXPECT_EQ(imageVersionNumber(wrongKey), 0u);
}

TEST(FileVersionTest, TruncatedImagesGiveZero) {
    const std::string full = minimalPe();
    for (std::size_t len = 0; len < test::kPeVersionMsOffset + 4; ++len)
        EXPECT_EQ(imageVersionNumber(std::string_view(full).substr(0, len)), 0u) << "length " << len;
}

TEST(FileVersionTest, GarbageGivesZero) {
    EXPECT_EQ(imageVersionNumber(""), 0u);
    EXPECT_EQ(imageVersionNumber("MZ"), 0u);
    EXPECT_EQ(imageVersionNumber("#!/bin/sh\necho hello\n"), 0u);

    std::string farHeader = minimalPe();
    test::putU32(farHeader, 0x3C, 0xFFFFFFF0u);  // PE header beyond the end
    EXPECT_EQ(imageVersionNumber(farHeader), 0u);

    // A directory claiming 131070 entries, none of them RT_VERSION: the reader
    // runs off the end of the image and stops.
    std::string hugeCounts = minimalPe();
    test::putU32(hugeCounts, test::kPeSectionOffset + 0x10, 17);
    test::putU16(hugeCounts, test::kPeSectionOffset + 12, 0xFFFF);
    test::putU16(hugeCounts, test::kPeSectionOffset + 14, 0xFFFF);
    EXPECT_EQ(imageVersionNumber(hugeCounts), 0u);
}

TEST(FileVersionTest, ADirectoryPointingAtItselfEnds) {
    std::string loop = minimalPe();
    // Every level points back at the root directory.
    test::putU32(loop, test::kPeSectionOffset + 0x14, 0x80000000u);
    EXPECT_EQ(imageVersionNumber(loop), 0u);
}

TEST(FileVersionTest, ReadsARealWineLibraryWhenThereIsOne) {
    const fs::path dll = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
    if (!fs::exists(dll))
        GTEST_SKIP() << "Wine is not installed";
    EXPECT_GE(fileVersionNumber(dll) >> 16, 4u);
}

}  // namespace
}  // namespace kestrane::files
