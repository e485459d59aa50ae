#pragma once
// One run of the main window model over a prefix, for the command line: the
// computer (the prefix with its registry, files and folders), a pacer that
// does not wait unless asked, and a front end that shows the status and
// progress on a terminal and collects errors.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "computer/Computer.h"
#include "results/MainWindowModel.h"

namespace kestrane::cli {

class TerminalFrontend final : public Frontend, public Pacer {
public:
    TerminalFrontend(Io& io, bool pace) : m_io(io), m_pace(pace) {}
    void attach(const MainWindowModel& model) { m_model = &model; }

    void processMessages() override { draw(); }
    void statusChanged(const std::string&) override {}
    void terminate() override { m_terminateAsked = true; }
    void showError(const std::string& text) override;
    void popupMenu(std::string_view) override {}
    void showMessage(const std::string& text) override;
    void pause(int milliseconds) override;
    void categoryStarting(const Category& category, ResultList& list) override {
        if (m_starting) m_starting(category, list);
    }
    void categoryScanned(const Category& category, ResultList& list) override {
        if (m_scanned) m_scanned(category, list);
    }
    // What to do with each category's list before and after a complete scan runs it.
    using ListHandler = std::function<void(const Category&, ResultList&)>;
    void onCategories(ListHandler starting, ListHandler scanned) {
        m_starting = std::move(starting);
        m_scanned = std::move(scanned);
    }

    // Clears the progress line.
    void finish();
    const std::vector<std::string>& errors() const { return m_errors; }
    bool terminateAsked() const { return m_terminateAsked; }

private:
    void draw();

    Io& m_io;
    bool m_pace;
    const MainWindowModel* m_model = nullptr;
    std::vector<std::string> m_errors;
    bool m_terminateAsked = false;
    bool m_drawn = false;
    std::string m_lastLine;
    ListHandler m_starting;
    ListHandler m_scanned;
};

class Session {
public:
    // The prefix: --prefix, --demo, else $WINEPREFIX, else ~/.wine. Prints
    // the reason and returns the exit status when it cannot be opened.
    static std::variant<std::unique_ptr<Session>, int> open(const GlobalOptions& options, Io& io);

    const std::filesystem::path& prefix() const { return m_computer->prefix(); }
    reg::RegistryStore& store() { return m_computer->store(); }
    files::PrefixFileSystem& files() { return m_computer->files(); }
    const files::SystemFolders& folders() const { return m_computer->folders(); }
    Computer& computer() { return *m_computer; }
    MainWindowModel& model() { return *m_model; }
    TerminalFrontend& frontend() { return m_frontend; }

private:
    Session(const GlobalOptions& options, Io& io) : m_frontend(io, options.pace) {}

    TerminalFrontend m_frontend;
    std::unique_ptr<Computer> m_computer;
    std::unique_ptr<MainWindowModel> m_model;
};

}  // namespace kestrane::cli
