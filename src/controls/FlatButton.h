#pragma once
// A flat button: a light face with a thin frame, a glyph at the left and a
// caption; under the mouse the caption turns bold, underlined and navy.

#include <QAbstractButton>
#include <QIcon>

namespace kestrane::controls {

class FlatButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit FlatButton(const QString& caption, QWidget* parent = nullptr);

    void setGlyph(const QIcon& glyph);
    // The font the caption gets under the mouse.
    QFont hoverFont() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hover = false;
};

}  // namespace kestrane::controls
