#include "controls/FlatButton.h"

#include <QPainter>

namespace kestrane::controls {

FlatButton::FlatButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void FlatButton::setGlyph(const QIcon& glyph) {
    setIcon(glyph);
    update();
}

QFont FlatButton::hoverFont() const {
    QFont f = font();
    f.setBold(true);
    f.setUnderline(true);
    return f;
}

QSize FlatButton::sizeHint() const {
    QFontMetrics metrics(hoverFont());
    int glyph = icon().isNull() ? 0 : 22;
    return {metrics.horizontalAdvance(text()) + glyph + 20, 28};
}

void FlatButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    bool down = isDown();
    fill.setColorAt(0, down ? QColor(0xD6, 0xE2, 0xF2) : QColor(0xFD, 0xFE, 0xFF));
    fill.setColorAt(1, down ? QColor(0xC4, 0xD4, 0xEA) : QColor(0xE4, 0xEC, 0xF6));
    p.setPen(QPen(m_hover && isEnabled() ? QColor(0x33, 0x66, 0xAA) : QColor(0x9A, 0xAE, 0xC8), 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 3, 3);

    int x = 8 + (down ? 1 : 0);
    int y = down ? 1 : 0;
    if (!icon().isNull()) {
        QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        icon().paint(&p, QRect(x, y + (height() - 16) / 2, 16, 16), Qt::AlignCenter, mode);
        x += 22;
    }
    p.setFont(m_hover && isEnabled() ? hoverFont() : font());
    QColor ink = !isEnabled() ? QColor(0x99, 0x99, 0x99) : m_hover ? QColor(0x00, 0x00, 0x80) : QColor(0x1A, 0x1A, 0x1A);
    p.setPen(ink);
    p.drawText(QRect(x, y, width() - x - 6, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
    if (hasFocus()) {
        p.setPen(QPen(QColor(0x33, 0x66, 0xAA), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

}  // namespace kestrane::controls
