// Whole trees measured and removed without following links, however deep.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/FileTree.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;

// A chain of `depth` folders below `top`, made by relative steps so that no
// path grows with it; a file of `bytes` bytes at the bottom.
void deepChain(const fs::path& top, int depth, std::size_t bytes) {
    fs::create_directories(top);
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    int file = ::openat(fd, "bottom.bin", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    const std::string data(bytes, 'b');
    ASSERT_EQ(::write(file, data.data(), data.size()), static_cast<ssize_t>(data.size()));
    ::close(file);
    ::close(fd);
}

TEST(FileTree, SizesCountFilesOnlyAndFollowNoLink) {
    const fs::path top = test::makeTempDir("kestrane-tree");
    const fs::path outside = test::makeTempDir("kestrane-outside");
    std::ofstream(outside / "big.bin") << std::string(100000, 'o');
    fs::create_directories(top / "item/a/b");
    std::ofstream(top / "item/one.txt") << "12345";
    std::ofstream(top / "item/a/b/two.txt") << "123";
    fs::create_symlink(outside, top / "item/a/out");            // a link to a folder
    fs::create_symlink(outside / "big.bin", top / "item/big");  // a link to a file
    fs::create_symlink("..", top / "item/a/b/up");              // a loop
    EXPECT_EQ(treeSize(top / "item"), 8);
    EXPECT_EQ(treeSize(top / "item/one.txt"), 5);
    EXPECT_EQ(treeSize(top / "missing"), 0);

    EXPECT_TRUE(removeTree(top / "item"));
    EXPECT_FALSE(fs::exists(top / "item"));
    EXPECT_TRUE(fs::exists(outside / "big.bin"));  // only the links went
    EXPECT_TRUE(removeTree(top / "item"));          // nothing left: no failure
    fs::remove_all(top);
    fs::remove_all(outside);
}

TEST(FileTree, ATreeFiveThousandFoldersDeep) {
    const fs::path top = test::makeTempDir("kestrane-deep");
    deepChain(top / "deep", 5000, 100);
    EXPECT_EQ(treeSize(top / "deep"), 100);
    EXPECT_TRUE(removeTree(top / "deep"));
    EXPECT_FALSE(fs::exists(top / "deep"));
    fs::remove_all(top);
}

}  // namespace
}  // namespace kestrane::files
