#include "controls/Artwork.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace kestrane::controls {

namespace {

const QColor kDeepBlue(0x12, 0x2E, 0x5C);
const QColor kBlue(0x2A, 0x5F, 0xA8);
const QColor kSky(0x6F, 0xB7, 0xE8);
const QColor kGreen(0x4C, 0xB0, 0x3C);

QPainterPath shield(const QRectF& b) {
    QPainterPath path;
    path.moveTo(b.center().x(), b.top());
    path.cubicTo(b.left() + b.width() * 0.30, b.top() + b.height() * 0.10, b.left() + b.width() * 0.12,
                 b.top() + b.height() * 0.08, b.left(), b.top() + b.height() * 0.12);
    path.cubicTo(b.left(), b.top() + b.height() * 0.62, b.left() + b.width() * 0.25, b.bottom() - b.height() * 0.12,
                 b.center().x(), b.bottom());
    path.cubicTo(b.right() - b.width() * 0.25, b.bottom() - b.height() * 0.12, b.right(),
                 b.top() + b.height() * 0.62, b.right(), b.top() + b.height() * 0.12);
    path.cubicTo(b.right() - b.width() * 0.12, b.top() + b.height() * 0.08, b.right() - b.width() * 0.30,
                 b.top() + b.height() * 0.10, b.center().x(), b.top());
    return path;
}

void paintTitle(QPainter& p, const QRectF& box, qreal pixelSize, const QColor& ink, const QColor& accent) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(static_cast<int>(pixelSize));
    f.setBold(true);
    p.setFont(f);
    QFontMetricsF m(f);
    const QString first = QStringLiteral("Kestrane");
    p.setPen(ink);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, first);
    QRectF second = box.adjusted(m.horizontalAdvance(first + QLatin1Char(' ')), 0, 0, 0);
    f.setBold(false);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(accent);
    p.drawText(second, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Professional"));
}

QPixmap canvas(QSize size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    return pm;
}

}  // namespace

Artwork::Emblem Artwork::emblem(const QRectF& box) {
    Emblem e;
    e.shield = shield(box);
    e.fillFrom = box.topLeft();
    e.fillTo = box.bottomRight();
    e.stops = {{0, kSky}, {0.55, kBlue}, {1, kDeepBlue}};
    e.outlineWidth = std::max(1.0, box.width() / 24);

    // A falcon's wing sweeping down from the upper right.
    const qreal w = box.width(), h = box.height();
    const qreal x = box.left(), y = box.top();
    e.wing.moveTo(x + w * 0.80, y + h * 0.22);
    e.wing.cubicTo(x + w * 0.55, y + h * 0.22, x + w * 0.30, y + h * 0.32, x + w * 0.20, y + h * 0.52);
    e.wing.cubicTo(x + w * 0.36, y + h * 0.42, x + w * 0.52, y + h * 0.40, x + w * 0.62, y + h * 0.42);
    e.wing.cubicTo(x + w * 0.50, y + h * 0.46, x + w * 0.40, y + h * 0.52, x + w * 0.34, y + h * 0.60);
    e.wing.cubicTo(x + w * 0.52, y + h * 0.50, x + w * 0.70, y + h * 0.40, x + w * 0.80, y + h * 0.22);
    e.wingColour = QColor(255, 255, 255, 235);

    // The check mark below it.
    e.check.moveTo(x + w * 0.33, y + h * 0.68);
    e.check.lineTo(x + w * 0.46, y + h * 0.80);
    e.check.lineTo(x + w * 0.72, y + h * 0.54);
    e.checkColour = kGreen.lighter(125);
    e.checkWidth = std::max(1.5, w / 9);
    return e;
}

void Artwork::paintEmblem(QPainter& p, const QRectF& box) {
    const Emblem e = emblem(box);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(e.fillFrom, e.fillTo);
    for (const auto& [at, colour] : e.stops) fill.setColorAt(at, colour);
    p.setPen(QPen(Qt::white, e.outlineWidth));
    p.setBrush(fill);
    p.drawPath(e.shield);
    p.setPen(Qt::NoPen);
    p.setBrush(e.wingColour);
    p.drawPath(e.wing);
    p.setPen(QPen(e.checkColour, e.checkWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(e.check);
    p.restore();
}

QPixmap Artwork::banner(QSize size) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    QLinearGradient sky(r.topLeft(), r.topRight());
    sky.setColorAt(0, kDeepBlue);
    sky.setColorAt(0.6, kBlue);
    sky.setColorAt(1, QColor(0x3E, 0x8E, 0xC9));
    p.fillRect(r, sky);
    // Soft arcs on the right, like wind over a ridge.
    for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 28 + 10 * i), 2));
        qreal rad = r.height() * (1.3 + 0.35 * i);
        p.drawEllipse(QPointF(r.right() - r.height() * 0.4, r.bottom() + r.height() * 0.6), rad * 1.8, rad);
    }
    QLinearGradient gloss(r.topLeft(), r.bottomLeft());
    gloss.setColorAt(0, QColor(255, 255, 255, 60));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 8));
    gloss.setColorAt(1, QColor(0, 0, 0, 30));
    p.fillRect(r, gloss);

    const qreal e = r.height() - 16;
    paintEmblem(p, QRectF(16, 8, e * 0.86, e));
    paintTitle(p, QRectF(16 + e + 8, 10, r.width(), r.height() * 0.55), r.height() * 0.36, Qt::white,
               QColor(0xBF, 0xE3, 0xFF));
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(static_cast<int>(r.height() * 0.16));
    p.setFont(f);
    p.setPen(QColor(0xD6, 0xE8, 0xF8));
    p.drawText(QRectF(16 + e + 10, r.height() * 0.58, r.width(), r.height() * 0.3), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Registry and privacy cleaner for Wine prefixes"));
    return pm;
}

QPixmap Artwork::statusStrip(QSize size) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    const QRect r(QPoint(0, 0), size);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(0xF6, 0xF9, 0xFD));
    fill.setColorAt(1, QColor(0xD3, 0xDF, 0xEE));
    p.fillRect(r, fill);
    p.setPen(QColor(0x9D, 0xB2, 0xCE));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.setPen(Qt::white);
    p.drawLine(r.topLeft(), r.topRight());
    return pm;
}

QPixmap Artwork::aboutPicture(QSize size) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(0xE6, 0xEE, 0xF8));
    p.fillRect(r, fill);
    const qreal e = r.height() * 0.42;
    paintEmblem(p, QRectF(r.width() * 0.08, r.height() * 0.12, e * 0.86, e));
    const qreal left = r.width() * 0.08 + e + 10;
    paintTitle(p, QRectF(left, r.height() * 0.12, r.width() - left, r.height() * 0.12), r.height() * 0.085,
               kDeepBlue, kBlue);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(12);
    p.setFont(f);
    // The version number itself is a label the about panel puts after this word.
    p.setPen(QColor(0x55, 0x66, 0x80));
    p.drawText(QRectF(left + 2, r.height() * 0.25, 60, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version"));
    p.setPen(QColor(0x33, 0x44, 0x5C));
    const QStringList lines{QStringLiteral("Finds and removes stale registry entries"),
                            QStringLiteral("and traces of use in a Wine prefix:"),
                            QStringLiteral("startup entries, uninstallers, extensions,"),
                            QStringLiteral("classes, recent documents and more.")};
    qreal y = r.height() * 0.38;
    for (const auto& line : lines) {
        p.drawText(QPointF(left, y), line);
        y += 18;
    }
    p.setPen(QPen(QColor(0xB7, 0xC8, 0xDE), 1));
    p.drawLine(QPointF(r.width() * 0.08, r.height() * 0.68), QPointF(r.width() * 0.92, r.height() * 0.68));
    p.setPen(QColor(0x55, 0x66, 0x80));
    p.drawText(QRectF(r.width() * 0.08, r.height() * 0.70, r.width() * 0.84, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Nothing it finds is removed before you have seen it checked in a list."));
    return pm;
}

QPixmap Artwork::splashPicture(QSize size) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    QLinearGradient fill(r.topLeft(), r.bottomRight());
    fill.setColorAt(0, kDeepBlue);
    fill.setColorAt(1, kBlue);
    p.fillRect(r, fill);
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 24 + 12 * i), 2));
        p.drawEllipse(QPointF(r.right(), r.bottom()), r.width() * (0.3 + 0.15 * i), r.height() * (0.4 + 0.2 * i));
    }
    const qreal e = r.height() * 0.46;
    paintEmblem(p, QRectF(22, (r.height() - e) / 2 - 10, e * 0.86, e));
    paintTitle(p, QRectF(22 + e, r.height() * 0.28, r.width(), 30), 24, Qt::white, QColor(0xBF, 0xE3, 0xFF));
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(QColor(0xD6, 0xE8, 0xF8));
    p.drawText(QPointF(24 + e, r.height() * 0.28 + 48), QStringLiteral("Registry and privacy cleaner"));
    p.drawText(QPointF(24 + e, r.height() * 0.28 + 64), QStringLiteral("for Wine prefixes"));
    p.drawText(QPointF(22, r.height() - 14), QStringLiteral("Loading..."));
    return pm;
}

QIcon Artwork::productIcon() {
    QIcon icon;
    for (int s : {16, 24, 32, 48, 64, 128}) {
        QPixmap pm = canvas(QSize(s, s));
        QPainter p(&pm);
        paintEmblem(p, QRectF(s * 0.07, 0.5, s * 0.86, s - 1.0));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon Artwork::glyph(Glyph which) {
    QPixmap pm = canvas(QSize(32, 32));
    pm.setDevicePixelRatio(2.0);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    auto pen = [&](const QColor& c, qreal w) {
        p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    p.setBrush(Qt::NoBrush);
    switch (which) {
    case Glyph::Select:
        pen(kBlue, 1.2);
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
        pen(kGreen, 2);
        p.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7.5, 10.5), QPointF(12, 4.5)}));
        break;
    case Glyph::Ignore:
        pen(QColor(0x80, 0x80, 0x80), 1.8);
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
        break;
    case Glyph::Remove:
        pen(QColor(0xC8, 0x20, 0x20), 2.4);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case Glyph::Refresh: {
        pen(kBlue, 1.8);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 290 * 16);
        p.setBrush(kBlue);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(9.5, 1), QPointF(13.5, 4), QPointF(9, 6)}));
        break;
    }
    case Glyph::Scan:
        pen(kBlue, 1.8);
        p.drawEllipse(QRectF(2.5, 2.5, 8, 8));
        pen(QColor(0x60, 0x40, 0x20), 2.4);
        p.drawLine(QPointF(9.5, 9.5), QPointF(13.5, 13.5));
        break;
    case Glyph::Details:
        pen(kBlue, 1.6);
        for (int i = 0; i < 3; ++i) {
            p.drawPoint(QPointF(3, 4.5 + 3.5 * i));
            p.drawLine(QPointF(6, 4.5 + 3.5 * i), QPointF(13, 4.5 + 3.5 * i));
        }
        break;
    case Glyph::Repair:
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        pen(Qt::white, 2);
        p.drawPolyline(QPolygonF({QPointF(4.8, 8.2), QPointF(7, 10.5), QPointF(11.3, 5.5)}));
        break;
    case Glyph::Back:
        pen(kBlue, 2.2);
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        p.drawPolyline(QPolygonF({QPointF(7, 4), QPointF(3, 8), QPointF(7, 12)}));
        break;
    case Glyph::Help:
    case Glyph::About: {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter,
                   which == Glyph::Help ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    }
    case Glyph::Home:
        pen(kBlue, 1.5);
        p.drawPolyline(QPolygonF({QPointF(2, 8), QPointF(8, 2.5), QPointF(14, 8)}));
        p.drawRect(QRectF(4, 7.5, 8, 6.5));
        break;
    case Glyph::Update:
        pen(kGreen, 2);
        p.drawLine(QPointF(8, 2), QPointF(8, 10));
        p.drawPolyline(QPolygonF({QPointF(4.5, 7), QPointF(8, 10.5), QPointF(11.5, 7)}));
        pen(kBlue, 1.5);
        p.drawPolyline(QPolygonF({QPointF(2.5, 11), QPointF(2.5, 14), QPointF(13.5, 14), QPointF(13.5, 11)}));
        break;
    case Glyph::Registry:
        p.setPen(QPen(kDeepBlue, 0.8));
        p.setBrush(kSky);
        p.drawRect(QRectF(2, 2, 5.5, 5.5));
        p.setBrush(kBlue);
        p.drawRect(QRectF(8.5, 2, 5.5, 5.5));
        p.drawRect(QRectF(2, 8.5, 5.5, 5.5));
        p.setBrush(kGreen);
        p.drawRect(QRectF(8.5, 8.5, 5.5, 5.5));
        break;
    case Glyph::Privacy:
        pen(QColor(0x70, 0x70, 0x70), 1.6);
        p.drawArc(QRectF(4.5, 1.5, 7, 9), 0, 180 * 16);
        p.setPen(QPen(QColor(0x80, 0x60, 0x10), 0.8));
        p.setBrush(QColor(0xE8, 0xB8, 0x30));
        p.drawRoundedRect(QRectF(3, 6.5, 10, 8), 1.5, 1.5);
        break;
    case Glyph::Applications:
        p.setPen(QPen(kDeepBlue, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.fillRect(QRectF(2, 3, 12, 3), kBlue);
        break;
    case Glyph::Optimizer:
        pen(kBlue, 1.6);
        p.drawArc(QRectF(2, 3, 12, 12), 0, 180 * 16);
        pen(QColor(0xC8, 0x20, 0x20), 1.8);
        p.drawLine(QPointF(8, 9), QPointF(12, 5));
        break;
    case Glyph::Backups:
        p.setPen(QPen(kDeepBlue, 1));
        p.setBrush(kSky);
        p.drawRoundedRect(QRectF(2, 2, 12, 12), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2, 7, 4.5));
        p.setBrush(kDeepBlue);
        p.drawRect(QRectF(4.5, 9, 7, 5));
        break;
    case Glyph::Settings: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x60, 0x6C, 0x7C));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45.0 * i);
            p.drawRect(QRectF(-1.5, -7.5, 3, 4));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    }
    p.end();
    return QIcon(pm);
}

}  // namespace kestrane::controls
