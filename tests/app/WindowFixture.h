#pragma once
// What the window tests share: a prefix with the system folders and two Run
// values naming programs that are gone, a private runtime folder for the
// single-instance lock, the window started through the real start-up
// sequence without pacing, the message boxes taken as text, settings read
// back from the files on disk, and a stand-in wineserver.

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QStringList>
#include <QWidget>

#include "app/Launcher.h"
#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "support/FakeWineServer.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::test {

inline const std::string kWindowSystem =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n";

inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// user.reg: two Run values whose programs are gone ("Gone", "Ghost") and the
// given values of Software\KestranePro, plus any further keys.
inline std::string windowUser(const std::string& settings, const std::string& more = "") {
    std::string text =
        "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
        "\"Ghost\"=\"C:\\\\nowhere\\\\ghost.exe\"\n"
        "\"Gone\"=\"C:\\\\missing\\\\gone.exe\"\n";
    if (!settings.empty()) text += "\n[Software\\\\KestranePro] 1700000000\n" + settings;
    return text + more;
}

// A prefix for the window; by default the first-run scan is already done.
inline std::unique_ptr<TempPrefix> windowPrefix(const std::string& settings = "\"autoscan\"=\"0\"\n",
                                                const std::string& more = "") {
    auto p = std::make_unique<TempPrefix>(kWindowSystem, windowUser(settings, more));
    std::filesystem::create_directories(p->driveC() / "windows" / "system32");
    std::filesystem::create_directories(p->driveC() / "Program Files" / "Kestrane Pro");
    return p;
}

// A value as the files on disk hold it now.
inline std::string storedValue(const TempPrefix& prefix, const std::string& key, const std::string& name) {
    auto store = reg::RegistryStore::openPrefix(prefix.path());
    if (!store) return "<unreadable: " + store.error().message + ">";
    auto k = store.value()->openKey(reg::Root::CurrentUser, key);
    if (!k) return "<no key>";
    if (!store.value()->queryValue(*k, name)) return "<no value>";
    return reg::regReadString(*store.value(), reg::Root::CurrentUser, key, name);
}

inline std::string storedSetting(const TempPrefix& prefix, const std::string& name) {
    return storedValue(prefix, "Software\\KestranePro", name);
}

// The lock, the trash and the demo prefix of the tests live in folders of
// their own.
inline void usePrivateFolders() {
    static const TempDir runtime("kestrane-runtime");
    static const TempDir data("kestrane-data");
    ::chmod(runtime.path().c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
}

// The window started through the real start-up sequence, without pacing.
// finish() runs the destruction handler and lets the lock go.
struct Started {
    std::unique_ptr<app::Launcher> launcher;
    app::Launcher::Outcome outcome = app::Launcher::Outcome::Failed;
    bool locked = false;

    explicit Started(const std::filesystem::path& prefix) {
        launcher = std::make_unique<app::Launcher>(
            app::LaunchOptions{.prefix = {.prefix = prefix.string()}, .pace = false});
        locked = launcher->lock();
        if (locked) outcome = launcher->start();
    }
    ~Started() { finish(); }
    void finish() {
        if (launcher) launcher->finish();
        launcher.reset();
    }
    app::MainWindow* window() const { return launcher ? launcher->window() : nullptr; }
    MainWindowModel& model() const { return window()->model(); }
};

// Message boxes become text for as long as the object lives.
struct Messages {
    QStringList texts;
    Messages() {
        app::MessageBox::setRecorder([this](const QString& t) { texts << t; });
    }
    ~Messages() { app::MessageBox::setRecorder({}); }
};

template <class T = QWidget>
T* part(const QObject* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// A running wineserver on a prefix: support/FakeWineServer.h.
using kestrane::test::FakeWineServer;


}  // namespace kestrane::test
