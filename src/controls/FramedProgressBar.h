#pragma once
// A progress bar in a sunken frame, 0 to 100, filled from the left.

#include <QWidget>

namespace kestrane::controls {

class FramedProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit FramedProgressBar(QWidget* parent = nullptr);

    int value() const { return m_value; }
    // Clamped to 0-100.
    void setValue(int value);
    QSize sizeHint() const override { return {233, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_value = 0;
};

}  // namespace kestrane::controls
