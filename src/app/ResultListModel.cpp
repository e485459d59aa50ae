#include "app/ResultListModel.h"

#include <QBrush>
#include <QFont>
#include <QSize>

namespace kestrane::app {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ResultListModel::ResultListModel(ResultList& list, Look look, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_look(look), m_shape(shape()),
      m_rows(static_cast<int>(list.count())) {}

QStringList ResultListModel::shape() const {
    QStringList out;
    for (const auto& c : m_list.columns())
        out << qt(c.caption) + QLatin1Char('/') + QString::number(c.width);
    return out;
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shape.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_list.count())) return {};
    const ResultRow& row = m_list.rows()[static_cast<std::size_t>(index.row())];
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return col == 0 ? qt(row.caption) : qt(row.subitem(static_cast<std::size_t>(col - 1)));
    case Qt::CheckStateRole:
        if (col == 0 && m_look != Look::Plain) return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        if (m_look == Look::Summary && col == 1) return QBrush(QColor(255, 0, 0));
        if (m_look == Look::Summary && col == 2) return QBrush(QColor(0, 0, 0));
        return {};
    case Qt::FontRole:
        if (m_look == Look::Summary && col == 1) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (m_look == Look::Summary && col == 1) return QVariant::fromValue(Qt::AlignCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The header of the columns shown: the list may have new ones before the next sync.
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(m_shape.size()) ||
        section >= static_cast<int>(m_list.columns().size()))
        return {};
    const Column& c = m_list.columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return qt(c.caption);
    if (role == Qt::SizeHintRole) return QSize(c.width, 20);
    if (role == Qt::TextAlignmentRole && m_look == Look::Summary && section == 1)
        return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0 && m_look != Look::Plain) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool ResultListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || m_look == Look::Plain || index.column() != 0 ||
        index.row() >= static_cast<int>(m_list.count()))
        return false;
    m_list.rows()[static_cast<std::size_t>(index.row())].checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

void ResultListModel::sync() {
    QStringList now = shape();
    const int rows = static_cast<int>(m_list.count());
    if (now != m_shape || rows != m_rows) {
        beginResetModel();
        m_shape = now;
        m_rows = rows;
        endResetModel();
        return;
    }
    if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, static_cast<int>(m_shape.size()) - 1));
}

}  // namespace kestrane::app
