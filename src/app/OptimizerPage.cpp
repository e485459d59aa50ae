#include "app/OptimizerPage.h"

#include <QLabel>

#include "controls/FramedProgressBar.h"

namespace kestrane::app {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

OptimizerPage::OptimizerPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel4"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    addLabel(QString(), QStringLiteral("Optimizing Hive:"), 24, 40, 160);
    m_hive = new controls::FramedProgressBar(this);
    m_hive->setObjectName(QStringLiteral("PBHive"));
    m_hive->setGeometry(190, 38, 330, 20);
    addLabel(QString(), QStringLiteral("Organizing Registry Keys: "), 24, 80, 160);
    m_nodes = new controls::FramedProgressBar(this);
    m_nodes->setObjectName(QStringLiteral("PBNodes"));
    m_nodes->setGeometry(190, 78, 330, 20);
    // Decorative lines of underscores in a light colour.
    for (int y : {104, 184})
        addLabel(QString(), QString(96, QLatin1Char('_')), 24, y, 500)->setStyleSheet(QStringLiteral("color: #c8d0dc;"));
    m_hivetext = addLabel(QStringLiteral("Hivetext"), QStringLiteral("Hive"), 24, 130, 500);
    QFont bold = m_hivetext->font();
    bold.setBold(true);
    m_hivetext->setFont(bold);
    addLabel(QString(), QStringLiteral("Node:"), 24, 160, 80);
    m_labelnode = addLabel(QStringLiteral("labelnode"), QStringLiteral("labelnode"), 110, 160, 440);
    addLabel(QString(), QStringLiteral("Node Values:"), 24, 210, 80);
    m_labelvalues = addLabel(QStringLiteral("labelvalues"), QStringLiteral("labelvalues"), 110, 210, 440);
    m_labelnode->hide();
    m_labelvalues->hide();
}

QLabel* OptimizerPage::addLabel(const QString& name, const QString& text, int x, int y, int width) {
    auto* l = new QLabel(text, this);
    if (!name.isEmpty()) l->setObjectName(name);
    l->setGeometry(x, y, width, 18);
    return l;
}

int OptimizerPage::percent(const ProgressBar& bar) {
    if (bar.maximum <= 0) return bar.position >= bar.maximum ? 100 : 0;
    return std::clamp(bar.position * 100 / bar.maximum, 0, 100);
}

void OptimizerPage::render(const OptimizerPanel& panel) {
    m_hive->setValue(percent(panel.PBHive));
    m_nodes->setValue(percent(panel.PBNodes));
    m_hivetext->setText(qt(panel.hivetext));
    m_labelnode->setText(qt(panel.labelnode));
    m_labelvalues->setText(qt(panel.labelvalues));
    m_labelnode->setVisible(panel.labelsShown);
    m_labelvalues->setVisible(panel.labelsShown);
}

}  // namespace kestrane::app
