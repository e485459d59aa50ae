#pragma once
// The optimizer view (Panel4, on the white panel of the about area): the
// hive and key being walked and two bars, "Optimizing Hive:" and
// "Organizing Registry Keys: ", drawn from the model's optimizer panel.

#include <QWidget>

#include "results/Backups.h"

class QLabel;

namespace kestrane::controls {
class FramedProgressBar;
}

namespace kestrane::app {

class OptimizerPage : public QWidget {
    Q_OBJECT
public:
    explicit OptimizerPage(QWidget* parent = nullptr);

    void render(const OptimizerPanel& panel);
    // A bar's position as the percentage the framed bars show.
    static int percent(const ProgressBar& bar);

private:
    QLabel* addLabel(const QString& name, const QString& text, int x, int y, int width);

    controls::FramedProgressBar* m_hive;
    controls::FramedProgressBar* m_nodes;
    QLabel* m_hivetext;
    QLabel* m_labelnode;
    QLabel* m_labelvalues;
};

}  // namespace kestrane::app
