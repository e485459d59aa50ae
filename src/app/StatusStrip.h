#pragma once
// The strip under the banner: the status line `statustext` at the left, the
// progress bar `PB` in the middle, and at the right a notice when the prefix
// may not be changed.

#include <QWidget>

class QLabel;

namespace kestrane::controls {
class FramedProgressBar;
}

namespace kestrane::app {

class StatusStrip : public QWidget {
    Q_OBJECT
public:
    explicit StatusStrip(QWidget* parent = nullptr);

    void setStatus(const QString& text);
    QString status() const;
    void setProgress(int position);
    int progress() const;
    // An empty notice hides it.
    void setNotice(const QString& text);
    QString notice() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_status;
    controls::FramedProgressBar* m_progress;
    QLabel* m_notice;
    QPixmap m_background;
};

}  // namespace kestrane::app
