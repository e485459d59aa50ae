#include "controls/FramedProgressBar.h"

#include <algorithm>

#include <QPainter>

namespace kestrane::controls {

FramedProgressBar::FramedProgressBar(QWidget* parent) : QWidget(parent) {}

void FramedProgressBar::setValue(int value) {
    value = std::clamp(value, 0, 100);
    if (value == m_value) return;
    m_value = value;
    update();
}

void FramedProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect outer = rect().adjusted(0, 0, -1, -1);
    // Sunken frame: dark above and left, light below and right.
    p.fillRect(rect(), QColor(0xF4, 0xF6, 0xFA));
    p.setPen(QColor(0x6F, 0x80, 0x99));
    p.drawLine(outer.topLeft(), outer.topRight());
    p.drawLine(outer.topLeft(), outer.bottomLeft());
    p.setPen(Qt::white);
    p.drawLine(outer.bottomLeft(), outer.bottomRight());
    p.drawLine(outer.topRight(), outer.bottomRight());

    QRect inner = rect().adjusted(2, 2, -2, -2);
    int w = inner.width() * m_value / 100;
    if (w <= 0) return;
    QRect bar(inner.left(), inner.top(), w, inner.height());
    QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
    fill.setColorAt(0, QColor(0x9F, 0xD6, 0x7E));
    fill.setColorAt(0.5, QColor(0x4C, 0xAF, 0x3C));
    fill.setColorAt(1, QColor(0x2E, 0x86, 0x24));
    p.fillRect(bar, fill);
    // Segments, as on the classic bars.
    p.setPen(QColor(0xF4, 0xF6, 0xFA));
    for (int x = bar.left() + 9; x < bar.right(); x += 10)
        p.drawLine(x, bar.top(), x, bar.bottom());
}

}  // namespace kestrane::controls
