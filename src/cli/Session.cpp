#include "cli/Session.h"

#include <chrono>
#include <thread>

namespace kestrane::cli {

// ------------------------------------------------------------ TerminalFrontend

void TerminalFrontend::draw() {
    if (!m_io.terminal || !m_model) return;
    std::string line = m_model->status() + "  " + std::to_string(m_model->progress()) + "%";
    if (line == m_lastLine) return;
    m_lastLine = line;
    m_io.err << "\r\033[K" << line << std::flush;
    m_drawn = true;
}

void TerminalFrontend::finish() {
    if (!m_drawn) return;
    m_io.err << "\r\033[K" << std::flush;
    m_drawn = false;
    m_lastLine.clear();
}

void TerminalFrontend::showError(const std::string& text) {
    finish();
    m_io.err << "kestrane-cli: " << text << "\n";
    m_errors.push_back(text);
}

void TerminalFrontend::showMessage(const std::string& text) {
    finish();
    m_io.err << "kestrane-cli: " << text << "\n";
}

void TerminalFrontend::pause(int milliseconds) {
    draw();
    if (m_pace) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// ------------------------------------------------------------ Session

std::variant<std::unique_ptr<Session>, int> Session::open(const GlobalOptions& options, Io& io) {
    auto prefix = choosePrefix({.prefix = options.prefix, .demo = options.demo, .demoReset = options.demoReset});
    if (!prefix) {
        io.err << "kestrane-cli: " << prefix.error().message << "\n";
        return prefix.error().kind == ErrorKind::NotFound ? kExitPrefix : kExitFailure;
    }
    std::unique_ptr<Session> session(new Session(options, io));
    auto computer = Computer::open(prefix.value(), session->m_frontend);
    if (!computer) {
        io.err << "kestrane-cli: " << computer.error().message << "\n";
        return kExitPrefix;
    }
    session->m_computer = std::move(computer.value());
    session->m_model =
        std::make_unique<MainWindowModel>(session->m_computer->context(), session->m_frontend, options.categories());
    session->m_frontend.attach(*session->m_model);
    return session;
}

}  // namespace kestrane::cli
