#pragma once
// A result list of the main window model shown as a Qt item model: column 0
// is the caption with the row's check box, the sub-items follow. The
// summary lists draw their count column red and bold and their category
// column black.

#include <QAbstractTableModel>
#include <QStringList>

#include "results/ResultList.h"

namespace kestrane::app {

class ResultListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Category: check boxes; Summary: check boxes and the red count column;
    // Plain: no check boxes (the backups list).
    enum class Look { Category, Summary, Plain };

    ResultListModel(ResultList& list, Look look, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Check boxes change the row's check state in the list itself.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Shows the list's current state: a reset when its columns or its number
    // of rows changed (the selection is lost), else only new cell contents.
    void sync();
    const ResultList& list() const { return m_list; }

private:
    QStringList shape() const;

    ResultList& m_list;
    Look m_look;
    QStringList m_shape;
    int m_rows = 0;
};

}  // namespace kestrane::app
