#pragma once
// The pauses that pace the progress bar. The window waits for real (and
// repaints), the tests record the steps, the command line does not wait.

namespace kestrane {

class Pacer {
public:
    virtual ~Pacer() = default;
    // One pause of the given length, in milliseconds.
    virtual void pause(int milliseconds) = 0;
};

// Does not wait at all.
class NoPacer final : public Pacer {
public:
    void pause(int) override {}
};

}  // namespace kestrane
