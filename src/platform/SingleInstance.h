#pragma once
// The program's single-instance guard: the named lock "KestraneProfessional",
// an exclusive flock on a file of that name in the user's runtime folder.
// The kernel releases it when the process ends, however it ends.

#include <filesystem>
#include <string_view>

namespace kestrane::files {

inline constexpr std::string_view kInstanceLockName = "KestraneProfessional";

class SingleInstance {
public:
    enum class State {
        Owned,        // this process holds the lock
        Taken,        // another process holds it
        Unavailable,  // no lock could be made; the program runs unguarded
    };

    // Takes the lock at once, without waiting.
    explicit SingleInstance(const std::filesystem::path& folder = runtimeFolder(),
                            std::string_view name = kInstanceLockName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    State state() const { return m_state; }
    bool anotherInstanceRuns() const { return m_state == State::Taken; }

    // $XDG_RUNTIME_DIR, else /tmp/kestrane-<uid> (created, private to the user).
    static std::filesystem::path runtimeFolder();

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
};

}  // namespace kestrane::files
