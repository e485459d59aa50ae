#pragma once
// Kills a process that saves a prefix's registry at moments spread over the
// whole save (the write of the temporary file, its fsync and the rename),
// and checks what is left: the hive is its old bytes or its new ones.

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrane::test {

struct KillTrials {
    int trials = 0;
    int old = 0;           // the hive kept its old bytes
    int fresh = 0;         // the hive has the new bytes
    int finished = 0;      // the save had ended before the kill
    int leftovers = 0;     // temporary files found after the kill
    int removedAtStart = 0;  // of them, removed by the next start
    std::string failure;   // the first trial whose hive was neither, or another fault
    double saveMilliseconds = 0;  // how long an uninterrupted save took, the longest of three
};

// Runs `trials` kills on a copy-safe prefix: each trial restores the old
// system.reg, forks a child that opens the prefix, sets one value in
// HKLM and saves (fresh time stamps from a fixed clock, so the new bytes
// are known), and kills it with SIGKILL after a delay drawn evenly from 0
// to a little over the save's length. After each trial the prefix is
// opened again, which must remove what the killed save left. At the end
// the hive holds the new bytes, as an uninterrupted save leaves it.
KillTrials killDuringSave(const std::filesystem::path& prefix, int trials, std::uint32_t seed);

}  // namespace kestrane::test
