#include "app/AboutPage.h"

#include <QLabel>
#include <QPainter>

#include "controls/Artwork.h"

namespace kestrane::app {

AboutPage::AboutPage(QWidget* parent) : QWidget(parent), m_version(new QLabel(QString::fromLatin1(kVersionLabel), this)) {
    setObjectName(QStringLiteral("panelabout"));
    m_version->setObjectName(QStringLiteral("versionlabel"));
    QFont f = font();
    f.setPixelSize(13);
    f.setBold(true);
    m_version->setFont(f);
    m_version->setStyleSheet(QStringLiteral("color: #2a5fa8; background: transparent;"));
}

void AboutPage::resizeEvent(QResizeEvent*) {
    m_picture = controls::Artwork::aboutPicture(size());
    // Under the product name, after the word "Version" of the picture.
    m_version->setGeometry(static_cast<int>(width() * 0.08 + height() * 0.42 + 58), static_cast<int>(height() * 0.25),
                           80, 18);
}

void AboutPage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
    // A lowered frame round the picture.
    p.setPen(QColor(0x8F, 0xA3, 0xBF));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(Qt::white);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

}  // namespace kestrane::app
