#pragma once
// What the program asks of its front end and its pacer, recorded: the
// status line at each "let queued messages run", the errors and menus, and
// the progress position at every pause.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Pacer.h"
#include "results/Category.h"
#include "results/Frontend.h"
#include "results/MainWindowModel.h"

namespace kestrane::test {

class RecordingFrontend : public Frontend {
public:
    // The status line at each "let queued messages run".
    std::vector<std::string> messages;
    std::vector<std::string> statuses;  // every text the status line got
    std::vector<std::string> errors;
    std::vector<std::string> menus;
    int terminations = 0;
    const MainWindowModel* model = nullptr;

    void processMessages() override { messages.push_back(model ? model->status() : std::string()); }
    void statusChanged(const std::string& text) override { statuses.push_back(text); }
    void terminate() override { ++terminations; }
    void showError(const std::string& text) override { errors.push_back(text); }
    void popupMenu(std::string_view menu) override { menus.emplace_back(menu); }
    void showMessage(const std::string& text) override { shownMessages.push_back(text); }
    void setTopmost(bool on) override { topmost.push_back(on); }
    void registryReloaded() override { ++reloads; }
    int reloads = 0;  // times the registry was read anew
    std::vector<std::string> shownMessages;  // message boxes
    std::vector<bool> topmost;               // the window in the topmost layer or out
};

class RecordingPacer : public Pacer {
public:
    const ScanContext* ctx = nullptr;
    std::vector<int> positions;  // the progress position at each pause
    std::vector<int> pauses;     // the length of each pause
    int total = 0;               // milliseconds paused in all

    void pause(int milliseconds) override {
        positions.push_back(ctx ? ctx->progress : -1);
        pauses.push_back(milliseconds);
        total += milliseconds;
    }
    void clear() {
        positions.clear();
        pauses.clear();
        total = 0;
    }
};

}  // namespace kestrane::test
