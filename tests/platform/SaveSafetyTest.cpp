// Saving a hive never leaves it half written: killed at any moment, out of
// file size, or refused the rename, the hive is its old file or its new
// one, the error names it, and what an interrupted save left beside it is
// gone after the next start.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/RegistryStore.h"
#include "support/KillDuringSave.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;
using reg::RegistryStore;
using reg::Root;

// A machine hive of about 8 MB: big enough that a save takes a while.
std::string largeSystem() {
    std::string body;
    for (int k = 0; k < 40000; ++k)
        body += "\n[Software\\\\Vendor" + std::to_string(k / 1000) + "\\\\Key" + std::to_string(k) +
                "] 1796791980\n#time=1dd87992a8b4b72\n\"Path\"=\"C:\\\\Program Files\\\\Vendor\\\\item" +
                std::to_string(k) + ".exe\"\n\"Flags\"=dword:0000002a\n\"Text\"=\"" + std::string(120, 'x') + "\"\n";
    return body;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool hasTemporaryFile(const fs::path& folder) {
    for (const auto& name : namesIn(folder))
        if (name.find(".kestrane-") != std::string::npos) return true;
    return false;
}

// Runs `body` in a child process and returns its exit status (or 100 + signal).
template <typename F>
int inChild(F body) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(SaveSafety, KilledAnywhereTheHiveIsItsOldOrItsNewFile) {
    TempPrefix prefix(largeSystem());
    KillTrials r = killDuringSave(prefix.path(), 30, 20261209);
    const std::string figures = std::to_string(r.old) + " old, " + std::to_string(r.fresh) + " new, " +
                                std::to_string(r.finished) + " finished, " + std::to_string(r.leftovers) +
                                " temporary files, save of " +
                                std::to_string(r.saveMilliseconds) + " ms";
    ASSERT_TRUE(r.failure.empty()) << r.failure << " (" << figures << ")";
    EXPECT_EQ(r.trials, 30);
    EXPECT_EQ(r.old + r.fresh, 30) << figures;
    // The kills fell before, during and after the save: some inside the
    // write, which leaves its temporary file.
    EXPECT_GT(r.old, 0) << figures;
    EXPECT_GT(r.fresh, 0) << figures;
    EXPECT_GT(r.leftovers, 0) << figures;
    EXPECT_EQ(r.removedAtStart, r.leftovers);
    EXPECT_FALSE(hasTemporaryFile(prefix.path()));
}

TEST(SaveSafety, TheNextStartRemovesOnlyWhatAnInterruptedSaveLeft) {
    TempPrefix prefix;
    const fs::path p = prefix.path();
    for (const char* name : {"system.reg.kestrane-a1B2c3", "user.reg.kestrane-Zz9Yy8", "system.reg.kestrane-short",
                             "system.reg.kestrane-toolong1", "notes.kestrane-abcdef", "user.reg.bak"})
        prefix.write(name, "left");
    fs::create_directory(p / "user.reg.kestrane-folder");
    fs::create_symlink("user.reg", p / "system.reg.kestrane-link01");
    // A save still running holds its file locked: it stays.
    prefix.write("user.reg.kestrane-Runnin", "busy");
    int busy = ::open((p / "user.reg.kestrane-Runnin").c_str(), O_RDONLY);
    ASSERT_GE(busy, 0);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);

    ASSERT_TRUE(RegistryStore::openPrefix(p).ok());
    ::close(busy);
    EXPECT_EQ(namesIn(p), (std::vector<std::string>{"dosdevices", "drive_c", "notes.kestrane-abcdef",
                                                    "system.reg", "system.reg.kestrane-link01",
                                                    "system.reg.kestrane-short", "system.reg.kestrane-toolong1",
                                                    "user.reg", "user.reg.bak", "user.reg.kestrane-Runnin",
                                                    "user.reg.kestrane-folder"}));
    EXPECT_TRUE(fs::exists(p / "user.reg"));  // the link's target untouched
}

TEST(SaveSafety, AWriteBeyondTheFileSizeLimitKeepsTheOldFile) {
    TempPrefix prefix(largeSystem());
    const std::string before = readFile(prefix.systemReg());
    int status = inChild([&] {
        auto store = RegistryStore::openPrefix(prefix.path());
        if (!store) return 2;
        auto key = store.value()->createKey(Root::LocalMachine, "Software\\Limited");
        if (!key || !store.value()->setValue(*key, reg::Value::string("v", "1"))) return 3;
        // The limit falls in the middle of the new file.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{static_cast<rlim_t>(before.size() / 2), static_cast<rlim_t>(before.size() / 2)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 4;
        Status saved = store.value()->save();
        if (saved) return 5;
        if (saved.error().message.find(prefix.systemReg().string()) == std::string::npos) return 6;
        if (saved.error().message.find("cannot write") == std::string::npos) return 7;
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(prefix.systemReg()), before);
    EXPECT_FALSE(hasTemporaryFile(prefix.path()));
}

TEST(SaveSafety, ARefusedRenameKeepsTheOldFileAndTheNextStartClearsUp) {
    TempPrefix prefix("\n[Software\\\\Old] 1\n\"v\"=\"1\"\n");
    const std::string before = readFile(prefix.systemReg());
    // The folder is made read-only between the check and the rename. Root is
    // not refused anything by a folder's mode: the save runs as another user.
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    for (const auto& e : fs::recursive_directory_iterator(prefix.path()))
        (void)::lchown(e.path().c_str(), user, user);
    (void)::chown(prefix.path().c_str(), user, user);
    std::string message;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    int status = inChild([&] {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgid(user) != 0 || ::setuid(user) != 0)) return 2;
        auto store = RegistryStore::openPrefix(prefix.path());
        if (!store) return 3;
        auto key = store.value()->createKey(Root::LocalMachine, "Software\\New");
        if (!key || !store.value()->setValue(*key, reg::Value::string("v", "2"))) return 4;
        store.value()->setBeforeReplace([&](const std::string&) { ::chmod(prefix.path().c_str(), 0555); });
        Status saved = store.value()->save();
        if (saved) return 5;
        const std::string& text = saved.error().message;
        (void)!::write(pipeFds[1], text.data(), text.size());
        return 0;
    });
    ::close(pipeFds[1]);
    char buf[512];
    ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
    ::close(pipeFds[0]);
    if (n > 0) message.assign(buf, static_cast<std::size_t>(n));
    ::chmod(prefix.path().c_str(), 0755);
    ASSERT_EQ(status, 0);
    EXPECT_NE(message.find(prefix.systemReg().string() + ": cannot replace the file"), std::string::npos) << message;
    EXPECT_EQ(readFile(prefix.systemReg()), before);
    // The read-only folder kept the temporary file; the next start removes it.
    EXPECT_TRUE(hasTemporaryFile(prefix.path()));
    ASSERT_TRUE(RegistryStore::openPrefix(prefix.path()).ok());
    EXPECT_FALSE(hasTemporaryFile(prefix.path()));
}

TEST(SaveSafety, ALinkedHiveIsReplacedWhereTheLinkLeads) {
    TempPrefix prefix;
    const fs::path elsewhere = prefix.path() / "elsewhere";
    fs::create_directory(elsewhere);
    fs::rename(prefix.systemReg(), elsewhere / "system.reg");
    fs::create_symlink("elsewhere/system.reg", prefix.systemReg());
    {
        auto store = RegistryStore::openPrefix(prefix.path());
        ASSERT_TRUE(store.ok());
        auto key = store.value()->createKey(Root::LocalMachine, "Software\\Linked");
        ASSERT_TRUE(key.ok());
        ASSERT_TRUE(store.value()->setValue(*key, reg::Value::string("v", "1")).ok());
        ASSERT_TRUE(store.value()->save().ok());
    }
    EXPECT_TRUE(fs::is_symlink(prefix.systemReg()));
    EXPECT_NE(readFile(elsewhere / "system.reg").find("[Software\\\\Linked]"), std::string::npos);
    EXPECT_FALSE(hasTemporaryFile(elsewhere));
    EXPECT_FALSE(hasTemporaryFile(prefix.path()));
    // A save that was interrupted there is cleared up there.
    std::ofstream(elsewhere / "system.reg.kestrane-x1y2z3") << "left";
    ASSERT_TRUE(RegistryStore::openPrefix(prefix.path()).ok());
    EXPECT_FALSE(hasTemporaryFile(elsewhere));
}

}  // namespace
}  // namespace kestrane::test
