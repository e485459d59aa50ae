#pragma once
// The program's pictures, painted at run time: the emblem, the banner, the
// status strip, the about and splash pictures, the product icon and the
// small glyphs of the buttons and menus.

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;

namespace kestrane::controls {

enum class Glyph {
    Select, Ignore, Remove, Refresh, Scan, Details, Repair, Back, Help, Home, Update,
    Registry, Privacy, Applications, Optimizer, Backups, About, Settings,
};

class Artwork {
public:
    // The emblem: a shield with a falcon's wing over a check mark.
    static void paintEmblem(QPainter& p, const QRectF& box);

    static QPixmap banner(QSize size);
    static QPixmap statusStrip(QSize size);
    static QPixmap aboutPicture(QSize size);
    static QPixmap splashPicture(QSize size);
    static QIcon productIcon();
    static QIcon glyph(Glyph which);
};

}  // namespace kestrane::controls
