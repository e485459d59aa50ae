#include "app/SettingsPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>

#include "results/Settings.h"

namespace kestrane::app {

namespace {

constexpr int kRow = 28;

}  // namespace

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("paneloption"));

    auto* title = new QLabel(QStringLiteral("Settings"), this);
    QFont big = font();
    big.setPixelSize(16);
    big.setBold(true);
    title->setFont(big);
    title->setStyleSheet(QStringLiteral("color: #122e5c;"));
    title->setGeometry(24, 12, 400, 24);

    setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: #2a5fa8; }"
                                 "QCheckBox { font-weight: normal; color: #1a1a1a; }"));
    auto* advanced = new QGroupBox(QStringLiteral("Advanced Settings"), this);
    advanced->setGeometry(24, 44, 538, 26 + 5 * kRow);
    addBox(advanced, "alwaysontop", 24);
    addBox(advanced, "loadwithwin", 24 + kRow);
    addBox(advanced, "autorepair", 24 + 2 * kRow);
    addBox(advanced, "autoclose", 24 + 3 * kRow);
    addBox(advanced, "autobackup", 24 + 4 * kRow);
    // Kept for its stored value only: it lies hidden under the backup box.
    addBox(advanced, "playsounds", 24 + 4 * kRow)->hide();

    auto* display = new QGroupBox(QStringLiteral("Display Settings"), this);
    display->setGeometry(24, 44 + 26 + 5 * kRow + 16, 538, 26 + 3 * kRow);
    addBox(display, "trayminimize", 24);
    addBox(display, "taskbarstatus", 24 + kRow);
    addBox(display, "showsplash", 24 + 2 * kRow);
}

QCheckBox* SettingsPage::addBox(QWidget* group, std::string_view value, int y) {
    const SettingBox* def = settingBox(value);
    auto* b = new QCheckBox(QString::fromUtf8(def->caption.data(), static_cast<qsizetype>(def->caption.size())), group);
    const QString name = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    b->setObjectName(name);
    b->setChecked(def->designChecked);
    b->setGeometry(18, y, 400, 22);
    connect(b, &QCheckBox::clicked, this, [this, name](bool checked) { emit boxClicked(name, checked); });
    m_boxes.emplace(def->value, b);
    return b;
}

QCheckBox* SettingsPage::box(std::string_view value) const {
    auto it = m_boxes.find(value);
    return it == m_boxes.end() ? nullptr : it->second;
}

void SettingsPage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0x8F, 0xA3, 0xBF));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace kestrane::app
