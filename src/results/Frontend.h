#pragma once
// What the main window model asks of whoever shows it: the Qt window, the
// command line, or a test.

#include <string>
#include <string_view>

namespace kestrane {

struct Category;
class ResultList;

class Frontend {
public:
    virtual ~Frontend() = default;

    // Let the queued window messages run once (repaints the status line and
    // the progress bar; user input is handled here too).
    virtual void processMessages() = 0;
    // The status line got a new text (shown at the next repaint).
    virtual void statusChanged(const std::string& text) = 0;
    // End the program now, without the close handler.
    virtual void terminate() = 0;
    // The standard error box: an error that ended a handler.
    virtual void showError(const std::string& text) = 0;
    // Pop up a menu ("pabregistry", "pabprivacy", "pabapply") beside the list.
    virtual void popupMenu(std::string_view menu) = 0;
    // A message box with an OK button ("Please select backup file").
    virtual void showMessage(const std::string& text) = 0;
    // Puts the main window into the topmost layer or takes it out, and the
    // "Always on Top" box with it; nothing where there is no window.
    virtual void setTopmost(bool topmost) { (void)topmost; }
    // The registry was read anew from the prefix (a restore): the settings
    // shown come from it again.
    virtual void registryReloaded() {}
    // A repair wrote the undo file of what it took from the registry.
    virtual void undoWritten(const std::string& file) { (void)file; }
    // A category of a complete scan is about to run, on its emptied list.
    virtual void categoryStarting(const Category& category, ResultList& list) {
        (void)category;
        (void)list;
    }
    // A category of a complete scan has run: its list holds its rows and its
    // summary row its count. A front end that has no further use for the
    // rows once it has shown them may take them out of the list.
    virtual void categoryScanned(const Category& category, ResultList& list) {
        (void)category;
        (void)list;
    }
};

}  // namespace kestrane
