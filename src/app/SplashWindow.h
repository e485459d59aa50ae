#pragma once
// The splash window `TForm2`: borderless, 385 x 211, centred, a white panel
// with a lowered bevel holding the picture and the version label "3.7.8".
// Its creation reads `showsplash`: "1" sets the splash flag, "0" clears it,
// anything else leaves it.

#include <QTimer>
#include <QWidget>

namespace kestrane {
class Settings;
}

namespace kestrane::app {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow(const Settings& settings, bool& splashFlag);

    // Shows the window in front, painted at once.
    void present();
    // The fixed busy delay: 4,000,000 turns, each writing the turn's number
    // into the interval of the window's timer (which has nothing to run).
    // Nothing else happens meanwhile; no messages are processed.
    void busyDelay();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    QPixmap m_picture;
};

}  // namespace kestrane::app
