#pragma once
// While a handler runs, the window repaints but takes no user input: mouse,
// keyboard and close requests are dropped, so nothing re-enters a handler;
// the cursor is the hourglass.

#include <QObject>

namespace kestrane::app {

class InputBlocker : public QObject {
    Q_OBJECT
public:
    explicit InputBlocker(QObject* parent = nullptr) : QObject(parent) {}

    bool busy() const { return m_depth > 0; }

    // Blocks input for its lifetime.
    class Scope {
    public:
        explicit Scope(InputBlocker& blocker);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        InputBlocker& m_blocker;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_depth = 0;
};

}  // namespace kestrane::app
