#include "controls/CategoryPanel.h"

#include <QPainter>

#include "controls/GradientButton.h"

namespace kestrane::controls {

namespace {

constexpr int kStrip = 22;       // the upright caption beside a group
constexpr int kGap = 3;          // between the buttons of a group
constexpr int kGroupGap = 10;    // between groups
constexpr int kButtonHeight = 28;
constexpr int kButtonWidth = 150;

}  // namespace

CategoryPanel::CategoryPanel(QWidget* parent) : QWidget(parent) {}

int CategoryPanel::addGroup(const QString& caption) {
    m_groups.push_back(Group{caption, {}, {}});
    arrange();
    return static_cast<int>(m_groups.size()) - 1;
}

GradientButton* CategoryPanel::addItem(int group, const QString& caption, const QIcon& glyph) {
    auto* button = new GradientButton(caption, this);
    button->setIcon(glyph);
    connect(button, &GradientButton::clicked, this, [this, caption] {
        setSelected(caption);
        emit itemClicked(caption);
    });
    m_groups.at(static_cast<std::size_t>(group)).items.push_back(button);
    arrange();
    button->show();
    return button;
}

GradientButton* CategoryPanel::item(const QString& caption) const {
    for (const auto& g : m_groups)
        for (auto* b : g.items)
            if (b->text() == caption) return b;
    return nullptr;
}

void CategoryPanel::setSelected(const QString& caption) {
    m_selected = caption;
    for (const auto& g : m_groups)
        for (auto* b : g.items)
            b->setSelected(b->text() == caption);
}

QStringList CategoryPanel::groupCaptions() const {
    QStringList out;
    for (const auto& g : m_groups)
        out << g.caption;
    return out;
}

QStringList CategoryPanel::itemCaptions(int group) const {
    QStringList out;
    for (auto* b : m_groups.at(static_cast<std::size_t>(group)).items)
        out << b->text();
    return out;
}

QSize CategoryPanel::sizeHint() const {
    int h = 0;
    for (const auto& g : m_groups)
        h += static_cast<int>(g.items.size()) * (kButtonHeight + kGap) + kGroupGap;
    return {kStrip + 6 + kButtonWidth + 4, h};
}

void CategoryPanel::resizeEvent(QResizeEvent*) { arrange(); }

void CategoryPanel::arrange() {
    int y = 2;
    for (auto& g : m_groups) {
        int top = y;
        for (auto* b : g.items) {
            b->move(kStrip + 6, y);
            y += kButtonHeight + kGap;
        }
        g.strip = QRect(2, top, kStrip, std::max(y - kGap - top, kButtonHeight));
        y += kGroupGap;
    }
    update();
}

void CategoryPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    for (const auto& g : m_groups) {
        QLinearGradient fill(g.strip.topLeft(), g.strip.topRight());
        fill.setColorAt(0, QColor(0x2B, 0x4C, 0x7E));
        fill.setColorAt(1, QColor(0x4A, 0x72, 0xA8));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(g.strip, 4, 4);
        // The caption reads upwards along the strip.
        p.save();
        p.translate(g.strip.left(), g.strip.bottom());
        p.rotate(-90);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, g.strip.height(), g.strip.width()), Qt::AlignCenter, g.caption);
        p.restore();
    }
}

}  // namespace kestrane::controls
