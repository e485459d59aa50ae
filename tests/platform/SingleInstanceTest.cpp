#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "support/EnvGuard.h"
#include "support/TempDir.h"
#include "platform/SingleInstance.h"
#include "support/TempPrefix.h"

namespace kestrane::files {
namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
protected:
    // Starts a child process that takes the lock, reports its state through
    // a pipe and then waits until the parent closes its end of a second pipe.
    pid_t startHolder(SingleInstance::State& childState) {
        int report[2], hold[2];
        if (::pipe(report) != 0 || ::pipe(hold) != 0)
            return -1;
        pid_t pid = ::fork();
        if (pid == 0) {
            ::close(report[0]);
            ::close(hold[1]);
            SingleInstance lock(folder);
            char state = static_cast<char>(lock.state());
            if (::write(report[1], &state, 1) != 1)
                ::_exit(2);
            char c;
            while (::read(hold[0], &c, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(report[1]);
        ::close(hold[0]);
        m_holdPipe = hold[1];
        char state = 0;
        if (::read(report[0], &state, 1) != 1)
            state = static_cast<char>(SingleInstance::State::Unavailable);
        ::close(report[0]);
        childState = static_cast<SingleInstance::State>(state);
        return pid;
    }
    void releaseHolder(pid_t pid) {
        ::close(m_holdPipe);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }

    test::TempDir folderDir{"kestrane-run"};
    const fs::path& folder = folderDir.path();
    int m_holdPipe = -1;
};

TEST_F(SingleInstanceTest, ASecondLockInTheSameProcessIsRefused) {
    {
        SingleInstance first(folder);
        EXPECT_EQ(first.state(), SingleInstance::State::Owned);
        SingleInstance second(folder);
        EXPECT_EQ(second.state(), SingleInstance::State::Taken);
        EXPECT_TRUE(second.anotherInstanceRuns());
        EXPECT_TRUE(fs::exists(folder / "KestraneProfessional"));
    }
    SingleInstance third(folder);
    EXPECT_EQ(third.state(), SingleInstance::State::Owned);
}

TEST_F(SingleInstanceTest, ALockHeldByAnotherProcessIsSeenAtOnce) {
    SingleInstance::State childState{};
    pid_t child = startHolder(childState);
    ASSERT_GT(child, 0);
    EXPECT_EQ(childState, SingleInstance::State::Owned);
    {
        SingleInstance mine(folder);
        EXPECT_EQ(mine.state(), SingleInstance::State::Taken);
    }
    releaseHolder(child);
    SingleInstance after(folder);
    EXPECT_EQ(after.state(), SingleInstance::State::Owned);
}

TEST_F(SingleInstanceTest, TheLockOfAKilledProcessIsFree) {
    SingleInstance::State childState{};
    pid_t child = startHolder(childState);
    ASSERT_GT(child, 0);
    ASSERT_EQ(childState, SingleInstance::State::Owned);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(m_holdPipe);
    SingleInstance mine(folder);
    EXPECT_EQ(mine.state(), SingleInstance::State::Owned);
}

TEST_F(SingleInstanceTest, AnUnusableFolderLeavesTheProgramUnguarded) {
    SingleInstance missing(folder / "missing");
    EXPECT_EQ(missing.state(), SingleInstance::State::Unavailable);
    EXPECT_FALSE(missing.anotherInstanceRuns());
    // A link planted in place of the lock file is not followed.
    fs::path target = folder / "target";
    fs::create_symlink(target, folder / "KestraneProfessional");
    SingleInstance planted(folder);
    EXPECT_EQ(planted.state(), SingleInstance::State::Unavailable);
    EXPECT_FALSE(fs::exists(target));
}

TEST(SingleInstanceFolderTest, RuntimeFolderFromXdgOrAPrivateFallback) {
    {
        test::EnvGuard runtime("XDG_RUNTIME_DIR", "/run/user/4242");
        EXPECT_EQ(SingleInstance::runtimeFolder(), fs::path("/run/user/4242"));
    }
    test::EnvGuard runtime("XDG_RUNTIME_DIR", std::nullopt);
    fs::path fallback = SingleInstance::runtimeFolder();
    EXPECT_EQ(fallback, fs::path("/tmp/kestrane-" + std::to_string(::getuid())));
    EXPECT_TRUE(fs::is_directory(fallback));
}

}  // namespace
}  // namespace kestrane::files
