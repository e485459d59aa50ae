#pragma once
// The program's pictures, painted at run time: the emblem, the banner, the
// status strip, the about and splash pictures, the product icon and the
// small glyphs of the buttons and menus.

#include <QIcon>
#include <QPainterPath>
#include <QPixmap>
#include <QSize>
#include <utility>
#include <vector>

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
    // The emblem's shapes and colours in a box: the shield (white outline,
    // a diagonal gradient), the wing and the check mark. The icon files are
    // drawn from them too.
    struct Emblem {
        QPainterPath shield, wing, check;
        QPointF fillFrom, fillTo;
        std::vector<std::pair<qreal, QColor>> stops;
        qreal outlineWidth = 1;
        QColor wingColour;
        QColor checkColour;
        qreal checkWidth = 1;
    };
    static Emblem emblem(const QRectF& box);

    static QPixmap banner(QSize size);
    static QPixmap statusStrip(QSize size);
    static QPixmap aboutPicture(QSize size);
    static QPixmap splashPicture(QSize size);
    static QIcon productIcon();
    static QIcon glyph(Glyph which);
};

}  // namespace kestrane::controls
