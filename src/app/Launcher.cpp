#include "app/Launcher.h"

#include <csignal>
#include <iostream>

#include <QApplication>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "app/SplashWindow.h"
#include "controls/Artwork.h"
#include "platform/SingleInstance.h"
#include "results/Settings.h"

namespace kestrane::app {

Launcher::Launcher(LaunchOptions options) : m_options(std::move(options)) {}

Launcher::~Launcher() {
    m_window.reset();
    m_computer.reset();
}

bool Launcher::lock() {
    m_lock = std::make_unique<files::SingleInstance>();
    return !m_lock->anotherInstanceRuns();
}

Launcher::Outcome Launcher::start() {
    // The application title, as the application's name. Qt appends a display
    // name, when one is set, to the window system's title of every window;
    // the main window's title is exactly its own.
    QApplication::setApplicationName(QStringLiteral("Kestrane Professional"));
    QApplication::setWindowIcon(controls::Artwork::productIcon());
    QApplication::setFont(MainWindow::windowFont());
    m_frontend.setPacing(m_options.pace);

    auto prefix = choosePrefix(m_options.prefix);
    if (!prefix) {
        MessageBox::error(nullptr, QStringLiteral("Kestrane Professional cannot start: %1.")
                                       .arg(QString::fromStdString(prefix.error().message)));
        return Outcome::Failed;
    }
    auto computer = Computer::open(prefix.value(), m_frontend);
    if (!computer) {
        MessageBox::error(nullptr, QStringLiteral("Kestrane Professional cannot start: %1.")
                                       .arg(QString::fromStdString(computer.error().message)));
        return Outcome::Failed;
    }
    m_computer = std::move(computer.value());

    bool splashFlag = false;
    auto splash = std::make_unique<SplashWindow>(Settings(m_computer->store()), splashFlag);
    if (splashFlag) {
        splash->present();
        splash->busyDelay();
    }
    m_window = std::make_unique<MainWindow>(*m_computer, m_frontend, builtCategories());
    m_window->hide();
    splash->hide();
    splash.reset();
    showWindow();

    m_window->firstRunScan();
    return m_window->terminated() ? Outcome::Ended : Outcome::Running;
}

void Launcher::showWindow() {
    // The switch runs once the chooser's menu has closed, outside the
    // window's own handlers.
    QObject::connect(m_window.get(), &MainWindow::prefixSwitchRequested, m_window.get(), [this](const QString& path) {
        QTimer::singleShot(0, [this, path] { switchPrefix(path.toStdString()); });
    });
    m_window->show();
}

bool Launcher::switchPrefix(const std::filesystem::path& prefix) {
    auto computer = Computer::open(prefix, m_frontend);
    if (!computer) {
        MessageBox::error(m_window.get(), QStringLiteral("The prefix cannot be opened: %1.")
                                              .arg(QString::fromStdString(computer.error().message)));
        return false;
    }
    const QPoint at = m_window ? m_window->pos() : QPoint();
    if (m_window) m_window->FormDestroy();
    m_window.reset();
    m_computer = std::move(computer.value());
    m_window = std::make_unique<MainWindow>(*m_computer, m_frontend, builtCategories());
    m_window->move(at);
    showWindow();
    return true;
}

int Launcher::exec() {
    int status = QApplication::exec();
    finish();
    return status;
}

void Launcher::finish() {
    if (m_window) m_window->FormDestroy();
    m_window.reset();
    m_computer.reset();
    m_lock.reset();
}

int Launcher::main(int argc, char** argv) {
    // A hive written past the file size limit fails with an error, not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine line = CommandLine::parse(args);
    if (line.help) {
        std::cout << CommandLine::helpText();
        return 0;
    }
    if (!line.error.empty()) {
        std::cerr << "kestrane: " << line.error << "\n" << CommandLine::helpText();
        return 2;
    }
    Launcher launcher(LaunchOptions{.prefix = line.prefix});
    if (!launcher.lock()) return 0;
    QApplication application(argc, argv);
    try {
        switch (launcher.start()) {
        case Outcome::Failed:
            return 1;
        case Outcome::Ended:
            launcher.finish();
            return 0;
        case Outcome::Running:
            break;
        }
        return launcher.exec();
    } catch (const std::exception& e) {
        MessageBox::error(nullptr, QStringLiteral("Kestrane Professional stopped: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
}

}  // namespace kestrane::app
