#pragma once
// The about panel: the program's picture with the version label "3.7.8".

#include <QWidget>

class QLabel;

namespace kestrane::app {

inline constexpr const char* kVersionLabel = "3.7.8";

class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_version;
    QPixmap m_picture;
};

}  // namespace kestrane::app
