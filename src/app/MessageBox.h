#pragma once
// The program's message boxes in one place, so that tests can take the
// messages instead of a modal box that nobody closes.

#include <functional>

#include <QString>

class QWidget;

namespace kestrane::app {

class MessageBox {
public:
    // The standard error box: an error that ended a handler.
    static void error(QWidget* parent, const QString& text);
    // A warning that something was not done (a refused save or repair).
    static void warning(QWidget* parent, const QString& text);
    // A message with an OK button ("Please select backup file").
    static void information(QWidget* parent, const QString& text);

    // While set, every message goes here and no box is shown.
    static void setRecorder(std::function<void(const QString&)> recorder);
};

}  // namespace kestrane::app
