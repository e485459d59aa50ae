#include "app/InputBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace kestrane::app {

InputBlocker::Scope::Scope(InputBlocker& blocker) : m_blocker(blocker) {
    if (m_blocker.m_depth++ == 0) {
        qApp->installEventFilter(&m_blocker);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

InputBlocker::Scope::~Scope() {
    if (--m_blocker.m_depth == 0) {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(&m_blocker);
    }
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    // An error box opened by the handler itself must still be answered.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == modal || modal->isAncestorOf(widget))) return QObject::eventFilter(watched, event);
        if (watched->isWindowType()) return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    case QEvent::Close:
        event->ignore();
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

}  // namespace kestrane::app
