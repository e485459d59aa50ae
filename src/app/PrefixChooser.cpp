#include "app/PrefixChooser.h"

#include <QMenu>

namespace kestrane::app {

namespace {

namespace fs = std::filesystem;

fs::path realPath(const fs::path& p) {
    std::error_code ec;
    fs::path real = fs::canonical(p, ec);
    return ec ? p.lexically_normal() : real;
}

QString qt(const std::string& s) { return QString::fromStdString(s); }

QString nameOf(const fs::path& prefix) {
    fs::path p = prefix.lexically_normal();
    if (!p.empty() && p.filename().empty()) p = p.parent_path();
    return qt(p.filename().string());
}

}  // namespace

PrefixChooser::PrefixChooser(QWidget* parent)
    : QToolButton(parent), m_menu(new QMenu(this)),
      m_finder([] {
          // The menu opens at once: it shows no sizes, so no prefix is walked.
          FinderInput input = finderInputFromEnvironment();
          input.measureSizes = false;
          return findPrefixes(input);
      }) {
    setObjectName(QStringLiteral("prefixchooser"));
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setMenu(m_menu);
    // Light text on the banner, framed so that it reads as a button.
    setStyleSheet(QStringLiteral(
        "QToolButton#prefixchooser { color: white; background: rgba(255, 255, 255, 28);"
        " border: 1px solid rgba(255, 255, 255, 110); border-radius: 3px; padding: 2px 18px 2px 8px; }"
        "QToolButton#prefixchooser:hover { background: rgba(255, 255, 255, 60); }"
        "QToolButton#prefixchooser::menu-indicator { subcontrol-origin: padding;"
        " subcontrol-position: center right; right: 5px; }"));
    connect(m_menu, &QMenu::aboutToShow, this, &PrefixChooser::refresh);
}

void PrefixChooser::setCurrent(const fs::path& prefix) {
    m_current = prefix;
    m_currentReal = realPath(prefix);
    setText(QStringLiteral("Prefix: %1").arg(fontMetrics().elidedText(nameOf(prefix), Qt::ElideMiddle, 220)));
    setToolTip(QStringLiteral("The prefix this window works on: %1\nClick to choose another one.")
                   .arg(qt(prefix.string())));
}

void PrefixChooser::refresh() {
    FindResult found = m_finder ? m_finder() : FindResult{};
    m_listed.clear();
    bool named = false;
    for (const FoundPrefix& p : found.prefixes) named = named || p.realPath == m_currentReal;
    if (!named && !m_current.empty()) {
        FoundPrefix here;
        here.name = nameOf(m_current).toStdString();
        here.source = "this window";
        here.path = m_current;
        here.realPath = m_currentReal;
        m_listed.push_back(std::move(here));
    }
    for (FoundPrefix& p : found.prefixes) m_listed.push_back(std::move(p));

    m_menu->clear();
    for (const FoundPrefix& p : m_listed) {
        QString text = QStringLiteral("%1  (%2%3)")
                           .arg(qt(p.name), qt(p.source), p.arch.empty() ? QString() : QStringLiteral(", ") + qt(p.arch));
        if (p.wineServer) text += QStringLiteral(", Wine running");
        QAction* a = m_menu->addAction(text);
        a->setCheckable(true);
        a->setChecked(p.realPath == m_currentReal);
        a->setToolTip(qt(p.path.string()));
        a->setData(qt(p.realPath.string()));
        connect(a, &QAction::triggered, this, [this, a] {
            const QString path = a->data().toString();
            if (fs::path(path.toStdString()) == m_currentReal) {
                a->setChecked(true);
                return;
            }
            a->setChecked(false);
            emit prefixChosen(path);
        });
    }
    if (m_listed.empty()) m_menu->addAction(QStringLiteral("No prefix found"))->setEnabled(false);
    for (const std::string& w : found.warnings) {
        QAction* a = m_menu->addAction(QStringLiteral("Skipped: %1").arg(qt(w)));
        a->setEnabled(false);
    }
    m_menu->setToolTipsVisible(true);
}

}  // namespace kestrane::app
