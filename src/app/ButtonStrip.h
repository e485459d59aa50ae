#pragma once
// The buttons below the view area: the four of the summaries, the four of
// each category view with buttons of its own, the shared ones, those of the
// About view, and the help button. Each shows while the main window model
// says so; a click is reported by the button's name ("OBall2", "OBsp3").

#include <map>

#include <QWidget>

#include "results/MainWindowModel.h"

namespace kestrane::controls {
class FlatButton;
}

namespace kestrane::app {

class ButtonStrip : public QWidget {
    Q_OBJECT
public:
    ButtonStrip(const MainWindowModel& model, QWidget* parent = nullptr);

    controls::FlatButton* button(const QString& name) const;
    void render(const MainWindowModel& model);

signals:
    void clicked(const QString& name);

private:
    // A row of buttons, left to right; empty names leave a gap.
    void addRow(const std::vector<std::pair<std::string, QString>>& buttons);
    controls::FlatButton* add(const std::string& name, const QString& caption, int x, int width);

    std::map<QString, controls::FlatButton*> m_buttons;
    std::vector<std::string> m_selectToggles;  // buttons whose caption the model keeps
};

}  // namespace kestrane::app
