#include "app/ButtonStrip.h"

#include <algorithm>

#include "controls/Artwork.h"
#include "controls/FlatButton.h"

namespace kestrane::app {

using controls::Artwork;
using controls::Glyph;

namespace {

constexpr int kWidth = 118;
constexpr int kGap = 6;
constexpr int kHeight = 28;

Glyph glyphOf(const QString& caption) {
    if (caption == QLatin1String("Unselect All")) return Glyph::Select;
    if (caption == QLatin1String("Ignore Items")) return Glyph::Ignore;
    if (caption == QLatin1String("Remove Checked Items")) return Glyph::Remove;
    if (caption == QLatin1String("Refresh")) return Glyph::Refresh;
    if (caption == QLatin1String("Scan Your PC Now")) return Glyph::Scan;
    if (caption == QLatin1String("Detail Items")) return Glyph::Details;
    if (caption == QLatin1String("Repair Errors Now !")) return Glyph::Repair;
    if (caption == QLatin1String("Visit Homepage")) return Glyph::Home;
    if (caption == QLatin1String("Update Kestrane Pro")) return Glyph::Update;
    return Glyph::Help;
}

}  // namespace

ButtonStrip::ButtonStrip(const MainWindowModel& model, QWidget* parent) : QWidget(parent) {
    const QString select = QStringLiteral("Unselect All"), ignore = QStringLiteral("Ignore Items"),
                  remove = QStringLiteral("Remove Checked Items"), refresh = QStringLiteral("Refresh");
    addRow({{"OBall1", select},
            {"OBall2", QStringLiteral("Scan Your PC Now")},
            {"OBall3", QStringLiteral("Detail Items")},
            {"OBall4", QStringLiteral("Repair Errors Now !")}});
    m_selectToggles.push_back("OBall1");
    for (const auto& c : model.categories()) {
        if (c.usesSharedButtons()) continue;
        addRow({{c.buttons[0], select}, {c.buttons[1], ignore}, {c.buttons[2], remove}, {c.buttons[3], refresh}});
        m_selectToggles.push_back(c.buttons[0]);
    }
    addRow({{"OBhis1", select}, {"obhis2", ignore}, {"OBhis3", remove}, {"OBhis4", refresh}});
    m_selectToggles.push_back("OBhis1");
    addRow({{"OBhomepage", QStringLiteral("Visit Homepage")}, {"OBproupdate", QStringLiteral("Update Kestrane Pro")}});
    addRow({{"OBbackup", QStringLiteral("Create Backup Now")},
            {"OBrestorebackup", QStringLiteral("Restore Selected Backup")},
            {"OBdeletebackup", QStringLiteral("Delete Selected")}});
    addRow({{"OBoptimize", QStringLiteral("Optimize Now")}});

    auto* help = add("OBhelp", QString(), 586 - kHeight, kHeight);
    help->setToolTip(QStringLiteral("Help"));
}

void ButtonStrip::addRow(const std::vector<std::pair<std::string, QString>>& buttons) {
    int x = 0;
    for (const auto& [name, caption] : buttons) {
        controls::FlatButton* b = add(name, caption, x, kWidth);
        // Wide enough for the caption in its hover font.
        b->resize(std::max(kWidth, b->sizeHint().width()), kHeight);
        x += b->width() + kGap;
    }
}

controls::FlatButton* ButtonStrip::add(const std::string& name, const QString& caption, int x, int width) {
    auto* b = new controls::FlatButton(caption, this);
    const QString id = QString::fromStdString(name);
    b->setObjectName(id);
    b->setGlyph(Artwork::glyph(glyphOf(caption)));
    b->setGeometry(x, 0, width, kHeight);
    b->hide();
    connect(b, &controls::FlatButton::clicked, this, [this, id] { emit clicked(id); });
    m_buttons.emplace(id, b);
    return b;
}

controls::FlatButton* ButtonStrip::button(const QString& name) const {
    auto it = m_buttons.find(name);
    return it == m_buttons.end() ? nullptr : it->second;
}

void ButtonStrip::render(const MainWindowModel& model) {
    for (const auto& name : m_selectToggles)
        button(QString::fromStdString(name))->setText(QString::fromStdString(model.buttonCaption(name)));
    button(QStringLiteral("OBall3"))->setEnabled(model.detailItemsEnabled());
    for (auto& [name, b] : m_buttons)
        b->setVisible(model.shown(name.toStdString()));
}

}  // namespace kestrane::app
