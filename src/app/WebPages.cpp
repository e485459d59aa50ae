#include "app/WebPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kestrane::app::web {

namespace {

const QString kSite = QStringLiteral("https://kestrane.example.org/");

}  // namespace

QUrl homepage() { return QUrl(kSite); }

QUrl updatePage() { return QUrl(kSite + QStringLiteral("update.html")); }

QUrl helpPage() {
    const QDir here(QCoreApplication::applicationDirPath());
    const QStringList candidates{here.filePath(QStringLiteral("help/index.html")),
                                 here.filePath(QStringLiteral("../share/kestrane/help/index.html")),
                                 QStringLiteral(KESTRANE_SOURCE_HELP_DIR "/index.html")};
    for (const auto& file : candidates)
        if (QFileInfo::exists(file)) return QUrl::fromLocalFile(QFileInfo(file).canonicalFilePath());
    return QUrl::fromLocalFile(candidates.last());
}

}  // namespace kestrane::app::web
