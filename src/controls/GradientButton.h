#pragma once
// A button of the category panel: a vertical gradient face with a glyph and
// a caption; the selected button is sky blue.

#include <QAbstractButton>

namespace kestrane::controls {

class GradientButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit GradientButton(const QString& caption, QWidget* parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // The colour of the selected face.
    static QColor selectedColour() { return {0x87, 0xCE, 0xEB}; }
    QSize sizeHint() const override { return {150, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_selected = false;
    bool m_hover = false;
};

}  // namespace kestrane::controls
