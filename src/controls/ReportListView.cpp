#include "controls/ReportListView.h"

#include <QHeaderView>

namespace kestrane::controls {

ReportListView::ReportListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setStyleSheet(QStringLiteral("QTreeView { background: white; border: 1px solid #8fa3bf; }"
                                 "QTreeView::item { height: 18px; }"
                                 "QTreeView::item:selected { background: #316ac5; color: white; }"));
}

void ReportListView::setModel(QAbstractItemModel* model) {
    if (this->model()) disconnect(this->model(), nullptr, this, nullptr);
    QTreeView::setModel(model);
    if (!model) return;
    connect(model, &QAbstractItemModel::modelReset, this, &ReportListView::applyColumnWidths);
    applyColumnWidths();
}

int ReportListView::selectedRow() const {
    const auto rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ReportListView::applyColumnWidths() {
    for (int i = 0; i < model()->columnCount(); ++i) {
        QSize hint = model()->headerData(i, Qt::Horizontal, Qt::SizeHintRole).toSize();
        if (hint.width() > 0) header()->resizeSection(i, hint.width());
    }
}

}  // namespace kestrane::controls
