#include "controls/CountBadge.h"

#include <QPainter>

namespace kestrane::controls {

CountBadge::CountBadge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CountBadge::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    update();
}

void CountBadge::setFrameColour(const QColor& colour) {
    if (colour == m_frame) return;
    m_frame = colour;
    update();
}

void CountBadge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    fill.setColorAt(1, QColor(0xEC, 0xF0, 0xF6));
    p.setPen(QPen(m_frame, 2));
    p.setBrush(fill);
    p.drawRoundedRect(face, 4, 4);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(m_frame == QColor(Qt::black) ? QColor(0x20, 0x20, 0x20) : QColor(0xB0, 0x10, 0x10));
    p.drawText(rect(), Qt::AlignCenter, m_caption);
}

}  // namespace kestrane::controls
