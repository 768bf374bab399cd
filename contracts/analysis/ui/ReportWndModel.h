#pragma once

// The cells of a report window as a Qt table model: columns with a heading,
// a format (0 left, 1 right, 2 centred) and a width (0: hidden), rows of
// texts. Texts that read as numbers are right-aligned whatever the column's
// format, so digits line up.

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class ReportWndModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString heading;
        int format = 2;
        int width = 0;
    };

    explicit ReportWndModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int addColumn(const Column &column);
    int addRow();
    // Out-of-range rows or columns raise CInvalidArgException.
    void setCell(int row, int column, const QString &text);
    const QString &cell(int row, int column) const;
    const Column &column(int column) const;
    void removeRowAt(int row);
    void clearRows();
    void clearColumns();

private:
    void check(int row, int column) const;

    std::vector<Column> m_columns;
    std::vector<QStringList> m_rows;
};
