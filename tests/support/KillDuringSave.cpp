#include "support/KillDuringSave.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/RegistryStore.h"

namespace kestrane::test {

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void put(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

std::uint64_t fixedClock() { return 0x1dd87fb20d9eb8aULL; }

// The child: open, change, tell the parent, save. Exit 0 when saved.
[[noreturn]] void saveInChild(const fs::path& prefix, int ready) {
    auto store = reg::RegistryStore::openPrefix(prefix);
    if (!store)
        ::_exit(3);
    store.value()->machineHive().setClock(fixedClock);
    auto key = store.value()->createKey(reg::Root::LocalMachine, "Software\\Kestrane Kill Test");
    if (!key || !store.value()->setValue(*key, reg::Value::string("Saved", "yes")))
        ::_exit(4);
    char c = 'r';
    if (::write(ready, &c, 1) != 1)
        ::_exit(5);
    ::_exit(store.value()->save() ? 0 : 6);
}

int countLeftovers(const fs::path& prefix) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(prefix))
        if (e.path().filename().string().find(std::string(reg::kSaveMarker)) != std::string::npos)
            ++n;
    return n;
}

// Starts a child that saves; returns its pid once it is about to save.
pid_t startSave(const fs::path& prefix) {
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        saveInChild(prefix, fds[1]);
    }
    ::close(fds[1]);
    char c = 0;
    if (pid < 0 || ::read(fds[0], &c, 1) != 1) {
        ::close(fds[0]);
        return -1;
    }
    ::close(fds[0]);
    return pid;
}

}  // namespace

KillTrials killDuringSave(const fs::path& prefix, int trials, std::uint32_t seed) {
    using clock = std::chrono::steady_clock;
    KillTrials r;
    const fs::path hive = prefix / "system.reg";
    const std::string old = contents(hive);

    // An uninterrupted save, three times: the new bytes and the save's length.
    std::string fresh;
    double total = 0;
    for (int i = 0; i < 3; ++i) {
        put(hive, old);
        pid_t pid = startSave(prefix);
        auto t0 = clock::now();  // the save itself: from the child's word to its end
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            r.failure = "an uninterrupted save failed (status " + std::to_string(status) + ")";
            return r;
        }
        total = std::max(total, std::chrono::duration<double, std::milli>(clock::now() - t0).count());
        std::string now = contents(hive);
        if (!fresh.empty() && now != fresh) {
            r.failure = "two uninterrupted saves wrote different bytes";
            return r;
        }
        fresh = now;
    }
    r.saveMilliseconds = total;  // the longest: a loaded machine saves slower
    if (fresh == old) {
        r.failure = "the save did not change the hive";
        return r;
    }

    std::mt19937 random(seed);
    std::uniform_real_distribution<double> delay(0.0, r.saveMilliseconds * 1.1);
    for (int i = 0; i < trials; ++i) {
        put(hive, old);
        pid_t pid = startSave(prefix);
        if (pid < 0) {
            r.failure = "cannot start a save";
            return r;
        }
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(delay(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ++r.trials;
        if (WIFEXITED(status))
            ++r.finished;
        const std::string now = contents(hive);
        if (now == old) {
            ++r.old;
        } else if (now == fresh) {
            ++r.fresh;
        } else if (r.failure.empty()) {
            r.failure = "trial " + std::to_string(i) + ": the hive is neither the old nor the new file (" +
                        std::to_string(now.size()) + " bytes)";
        }
        const int left = countLeftovers(prefix);
        r.leftovers += left;
        if (!reg::RegistryStore::openPrefix(prefix)) {
            if (r.failure.empty())
                r.failure = "trial " + std::to_string(i) + ": the prefix does not open after the kill";
            continue;
        }
        const int after = countLeftovers(prefix);
        r.removedAtStart += left - after;
        if (after != 0 && r.failure.empty())
            r.failure = "trial " + std::to_string(i) + ": a temporary file is left after the next start";
    }
    put(hive, fresh);  // as an uninterrupted save leaves it
    return r;
}

}  // namespace kestrane::test
