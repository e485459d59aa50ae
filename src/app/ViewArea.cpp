#include "app/ViewArea.h"

#include "app/ResultListModel.h"
#include "controls/ReportListView.h"

namespace kestrane::app {

ViewArea::ViewArea(MainWindowModel& model, QWidget* parent) : QWidget(parent) {
    addList(model.lvall(), Kind::Summary);
    addList(model.lvapply(), Kind::Summary);
    for (const auto& c : model.categories())
        if (ResultList* l = model.list(c.list)) addList(*l, Kind::Category);
    addList(model.LVbackup(), Kind::Plain);
}

void ViewArea::addList(ResultList& list, Kind kind) {
    const bool summary = kind == Kind::Summary;
    const QString name = QString::fromStdString(list.name());
    auto* view = new controls::ReportListView(this);
    view->setObjectName(name);
    auto* itemModel = new ResultListModel(list,
                                          summary                ? ResultListModel::Look::Summary
                                          : kind == Kind::Plain ? ResultListModel::Look::Plain
                                                                 : ResultListModel::Look::Category,
                                          view);
    view->setModel(itemModel);
    view->setGeometry(rect());
    view->hide();
    if (summary) {
        const SummaryMode mode = list.name() == "lvall" ? SummaryMode::Computer : SummaryMode::Applications;
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, mode](const QModelIndex& current) { emit summarySelected(mode, current.row()); });
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this, mode](const QModelIndex& index) { emit summaryActivated(mode, index.row()); });
    }
    m_lists.emplace(name, View{view, itemModel});
}

void ViewArea::addPanel(QWidget* panel) {
    panel->setParent(this);
    panel->setGeometry(rect());
    panel->hide();
    m_panels.push_back(panel);
}

void ViewArea::resizeEvent(QResizeEvent*) {
    for (auto& [name, v] : m_lists)
        v.view->setGeometry(rect());
    for (QWidget* panel : m_panels)
        panel->setGeometry(rect());
}

controls::ReportListView* ViewArea::listView(const QString& name) const {
    auto it = m_lists.find(name);
    return it == m_lists.end() ? nullptr : it->second.view;
}

void ViewArea::render(const MainWindowModel& model) {
    // A hidden list catches up when it is shown again.
    for (auto& [name, v] : m_lists) {
        const bool shown = model.shown(name.toStdString());
        if (shown) v.model->sync();
        v.view->setVisible(shown);
    }
    for (QWidget* panel : m_panels)
        panel->setVisible(model.shown(panel->objectName().toStdString()));
}

}  // namespace kestrane::app
