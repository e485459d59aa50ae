#pragma once
// The settings panel `paneloption`: the boxes of the user's preferences in
// two groups, "Advanced Settings" and "Display Settings". Each box is named
// after its value ("alwaysontop"); a click is reported with the box's new
// state.

#include <map>
#include <string_view>

#include <QWidget>

class QCheckBox;

namespace kestrane::app {

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);

    QCheckBox* box(std::string_view value) const;

signals:
    void boxClicked(const QString& value, bool checked);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QCheckBox* addBox(QWidget* group, std::string_view value, int y);

    std::map<std::string_view, QCheckBox*> m_boxes;
};

}  // namespace kestrane::app
