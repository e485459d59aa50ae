#include "controls/GradientButton.h"

#include <algorithm>

#include <QPainter>

namespace kestrane::controls {

GradientButton::GradientButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setFixedSize(150, 28);
    setCursor(Qt::PointingHandCursor);
}

void GradientButton::setSelected(bool selected) {
    if (m_selected == selected) return;
    m_selected = selected;
    update();
}

void GradientButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GradientButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void GradientButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (m_selected) {
        fill.setColorAt(0, selectedColour().lighter(118));
        fill.setColorAt(1, selectedColour());
    } else if (m_hover || isDown()) {
        fill.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        fill.setColorAt(1, QColor(0xD8, 0xE6, 0xF5));
    } else {
        fill.setColorAt(0, QColor(0xF7, 0xF9, 0xFC));
        fill.setColorAt(1, QColor(0xC9, 0xD7, 0xE8));
    }
    p.setPen(QPen(m_selected ? QColor(0x3C, 0x8D, 0xB4) : QColor(0x98, 0xAC, 0xC6), 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 4, 4);

    int x = 8;
    if (!icon().isNull()) {
        icon().paint(&p, QRect(x, (height() - 16) / 2, 16, 16));
        x += 22;
    }
    QFont f = font();
    f.setBold(m_selected);
    // A caption that fits plain but not bold ("Registry Optimizer") is
    // drawn a little narrower rather than cut off.
    const int room = width() - x - 4;
    if (m_selected && QFontMetrics(f).horizontalAdvance(text()) > room) {
        const int plain = QFontMetrics(font()).horizontalAdvance(text());
        f.setStretch(std::max(75, 100 * std::min(room, plain) / std::max(1, QFontMetrics(f).horizontalAdvance(text()))));
    }
    p.setFont(f);
    p.setPen(QColor(0x10, 0x20, 0x40));
    p.drawText(QRect(x, 0, width() - x - 4, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

}  // namespace kestrane::controls
