#include "app/StatusStrip.h"

#include <QLabel>
#include <QPainter>

#include "controls/Artwork.h"
#include "controls/FramedProgressBar.h"

namespace kestrane::app {

StatusStrip::StatusStrip(QWidget* parent)
    : QWidget(parent), m_status(new QLabel(this)), m_progress(new controls::FramedProgressBar(this)),
      m_notice(new QLabel(this)) {
    m_status->setObjectName(QStringLiteral("statustext"));
    QFont f = font();
    f.setPixelSize(12);
    m_status->setFont(f);
    m_status->setGeometry(10, 6, 268, 20);
    m_progress->setObjectName(QStringLiteral("PB"));
    m_progress->setGeometry(285, 6, 233, 20);
    m_notice->setObjectName(QStringLiteral("winenotice"));
    m_notice->setGeometry(530, 2, 266, 28);
    m_notice->setWordWrap(true);
    m_notice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_notice->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    m_notice->hide();
}

void StatusStrip::setStatus(const QString& text) { m_status->setText(text); }
QString StatusStrip::status() const { return m_status->text(); }
void StatusStrip::setProgress(int position) { m_progress->setValue(position); }
int StatusStrip::progress() const { return m_progress->value(); }

void StatusStrip::setNotice(const QString& text) {
    m_notice->setText(text);
    m_notice->setToolTip(text);
    m_notice->setVisible(!text.isEmpty());
}

QString StatusStrip::notice() const { return m_notice->isVisible() ? m_notice->text() : QString(); }

void StatusStrip::resizeEvent(QResizeEvent*) { m_background = controls::Artwork::statusStrip(size()); }

void StatusStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_background.size() != size()) m_background = controls::Artwork::statusStrip(size());
    p.drawPixmap(0, 0, m_background);
}

}  // namespace kestrane::app
