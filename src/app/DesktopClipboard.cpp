#include "app/DesktopClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace kestrane::app {

std::optional<files::ClipboardContents> DesktopClipboard::read() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime)
        return std::nullopt;
    files::ClipboardContents c;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            c.files.push_back(m_windowsPath(url.toLocalFile().toStdString()));
    // Copied files come with their paths as text too: that text is the file list.
    if (mime->hasText() && c.files.empty())
        c.text = mime->text().toStdString();
    c.picture = mime->hasImage();
    return c;
}

void DesktopClipboard::clear() {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear();
}

}  // namespace kestrane::app
