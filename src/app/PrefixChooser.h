#pragma once
// The prefix chooser of the window: a button naming the prefix the window
// works on, whose menu lists every prefix on the machine (looked for again
// each time it opens). Choosing another one asks the window to switch.

#include <filesystem>
#include <functional>
#include <vector>

#include <QToolButton>

#include "computer/PrefixFinder.h"

class QMenu;

namespace kestrane::app {

class PrefixChooser : public QToolButton {
    Q_OBJECT
public:
    using Finder = std::function<FindResult()>;

    explicit PrefixChooser(QWidget* parent = nullptr);

    // The prefix the window works on (shown on the button and checked in
    // the menu; listed first when no place names it, as the demo prefix).
    void setCurrent(const std::filesystem::path& prefix);
    const std::filesystem::path& current() const { return m_current; }
    // Where the list comes from; the machine's prefixes unless a test says.
    void setFinder(Finder finder) { m_finder = std::move(finder); }

    // The menu built anew from the finder, as opening it does.
    void refresh();
    QMenu* prefixMenu() const { return m_menu; }
    // The prefixes the menu lists, in its order.
    const std::vector<FoundPrefix>& listed() const { return m_listed; }

signals:
    // Another prefix was chosen (its real path).
    void prefixChosen(const QString& path);

private:
    QMenu* m_menu;
    std::filesystem::path m_current;
    std::filesystem::path m_currentReal;
    Finder m_finder;
    std::vector<FoundPrefix> m_listed;
};

}  // namespace kestrane::app
