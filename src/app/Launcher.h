#pragma once
// The program's start: the single-instance lock (a second copy ends at
// once, without a window), the application's title, the optional splash
// window with its fixed delay, the main window, the first-run complete
// scan, the message loop, and the destruction handler at the end.

#include <filesystem>
#include <memory>

#include "app/WindowFrontend.h"
#include "computer/Computer.h"

namespace kestrane::files {
class SingleInstance;
}

namespace kestrane::app {

class MainWindow;

struct LaunchOptions {
    PrefixRequest prefix;
    bool pace = true;  // off in tests: the progress ramps do not wait
};

class Launcher {
public:
    enum class Outcome {
        Running,  // the main window is shown
        Failed,   // the prefix could not be opened; the user was told
        Ended,    // the first-run scan ended the program (`autoclose`)
    };

    explicit Launcher(LaunchOptions options);
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Takes the lock "KestraneProfessional". False when another copy holds
    // it: the program ends at once. A lock that cannot be made at all lets
    // the program run unguarded.
    bool lock();
    // Everything up to the message loop (the application object exists).
    Outcome start();
    // The message loop, then finish().
    int exec();
    // The destruction handler, then the window and the prefix let go.
    void finish();
    // The window works on another prefix from now on: the prefix is opened
    // first (when it cannot be, the user is told and the window stays as it
    // was), then the old window goes through its destruction handler and a
    // new one shows the new prefix, without the first-run scan.
    bool switchPrefix(const std::filesystem::path& prefix);

    MainWindow* window() const { return m_window.get(); }
    Computer* computer() const { return m_computer.get(); }
    WindowFrontend& frontend() { return m_frontend; }

    // The program: command line, lock, application, start, loop.
    static int main(int argc, char** argv);

private:
    void showWindow();

    LaunchOptions m_options;
    std::unique_ptr<files::SingleInstance> m_lock;
    WindowFrontend m_frontend;
    std::unique_ptr<Computer> m_computer;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace kestrane::app
