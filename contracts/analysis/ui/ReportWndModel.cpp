#include "contracts/analysis/ui/ReportWndModel.h"

#include "platform/Exceptions.h"
#include "util/CExportTable.h"

ReportWndModel::ReportWndModel(QObject *parent) : QAbstractTableModel(parent) { }

int ReportWndModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportWndModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ReportWndModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size())
        || index.column() >= int(m_columns.size()))
        return {};
    const QString &text = m_rows[size_t(index.row())][index.column()];
    if (role == Qt::DisplayRole)
        return text;
    if (role == Qt::TextAlignmentRole) {
        double value = 0.0;
        if (CExportTable::NumberFromText(text, &value))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        switch (m_columns[size_t(index.column())].format) {
        case 0:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        case 1:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return int(Qt::AlignCenter);
        }
    }
    return {};
}

QVariant ReportWndModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < int(m_columns.size())) {
        if (role == Qt::DisplayRole)
            return m_columns[size_t(section)].heading;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

int ReportWndModel::addColumn(const Column &column)
{
    const int index = int(m_columns.size());
    beginInsertColumns(QModelIndex(), index, index);
    m_columns.push_back(column);
    for (QStringList &row : m_rows)
        row.append(QString());
    endInsertColumns();
    return index;
}

int ReportWndModel::addRow()
{
    const int index = int(m_rows.size());
    beginInsertRows(QModelIndex(), index, index);
    QStringList row;
    for (size_t c = 0; c < m_columns.size(); ++c)
        row.append(QString());
    m_rows.push_back(row);
    endInsertRows();
    return index;
}

void ReportWndModel::check(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= int(m_columns.size()))
        throw CInvalidArgException("report cell out of range");
}

void ReportWndModel::setCell(int row, int column, const QString &text)
{
    check(row, column);
    m_rows[size_t(row)][column] = text;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
}

const QString &ReportWndModel::cell(int row, int column) const
{
    check(row, column);
    return m_rows[size_t(row)][column];
}

const ReportWndModel::Column &ReportWndModel::column(int column) const
{
    if (column < 0 || column >= int(m_columns.size()))
        throw CInvalidArgException("report column out of range");
    return m_columns[size_t(column)];
}

void ReportWndModel::removeRowAt(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        throw CInvalidArgException("report row out of range");
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ReportWndModel::clearRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ReportWndModel::clearColumns()
{
    beginResetModel();
    m_columns.clear();
    for (QStringList &row : m_rows)
        row.clear();
    endResetModel();
}
