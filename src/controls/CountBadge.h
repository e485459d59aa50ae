#pragma once
// A count badge: a flat face with a caption inside a coloured frame. It
// takes no clicks; whoever owns it sets the caption and the frame colour.

#include <QColor>
#include <QWidget>

namespace kestrane::controls {

class CountBadge : public QWidget {
    Q_OBJECT
public:
    explicit CountBadge(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QColor frameColour() const { return m_frame; }
    void setFrameColour(const QColor& colour);
    QSize sizeHint() const override { return {183, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_frame = Qt::black;
};

}  // namespace kestrane::controls
