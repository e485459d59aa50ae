#pragma once
// A report list: rows with check boxes selected whole, no editing, columns
// as wide as the model's header asks (Qt::SizeHintRole) each time the model
// is reset.

#include <QTreeView>

namespace kestrane::controls {

class ReportListView : public QTreeView {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // The selected row, or -1.
    int selectedRow() const;

private:
    void applyColumnWidths();
};

}  // namespace kestrane::controls
