#pragma once
// The window as the main window model's front end and pacer: the status
// line and progress bar repaint at every step, queued messages run at the
// points the model allows (user input stays blocked), and each pause of the
// progress ramps waits for real unless pacing is off (tests).

#include "platform/Pacer.h"
#include "results/Frontend.h"

namespace kestrane::app {

class MainWindow;

class WindowFrontend final : public Frontend, public Pacer {
public:
    void attach(MainWindow* window) { m_window = window; }
    // Off: the pauses repaint without waiting.
    void setPacing(bool wait) { m_wait = wait; }
    bool pacing() const { return m_wait; }

    void processMessages() override;
    void statusChanged(const std::string& text) override;
    void terminate() override;
    void showError(const std::string& text) override;
    void popupMenu(std::string_view menu) override;
    void showMessage(const std::string& text) override;
    void setTopmost(bool topmost) override;
    void registryReloaded() override;
    void pause(int milliseconds) override;

private:
    MainWindow* m_window = nullptr;
    bool m_wait = true;
};

}  // namespace kestrane::app
