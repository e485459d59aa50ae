#pragma once
// The category button panel: groups of gradient buttons flowing down, each
// group with its caption written bold and upright beside its buttons. One
// button at a time is the selected one.

#include <QIcon>
#include <QString>
#include <QWidget>
#include <vector>

namespace kestrane::controls {

class GradientButton;

class CategoryPanel : public QWidget {
    Q_OBJECT
public:
    explicit CategoryPanel(QWidget* parent = nullptr);

    // Adds a group below the last one; returns its index.
    int addGroup(const QString& caption);
    GradientButton* addItem(int group, const QString& caption, const QIcon& glyph = {});

    // The button with this caption, or nothing.
    GradientButton* item(const QString& caption) const;
    QString selected() const { return m_selected; }
    void setSelected(const QString& caption);
    QStringList groupCaptions() const;
    QStringList itemCaptions(int group) const;

    QSize sizeHint() const override;

signals:
    void itemClicked(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Group {
        QString caption;
        std::vector<GradientButton*> items;
        QRect strip;
    };
    void arrange();

    std::vector<Group> m_groups;
    QString m_selected;
};

}  // namespace kestrane::controls
