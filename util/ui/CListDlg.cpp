#include "util/ui/CListDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

CListDlg::CListDlg(const QString &title, const QStringList &lines, QWidget *parent)
    : QDialog(parent), m_pList(new QTreeWidget(this))
{
    setWindowTitle(title);
    bool twoColumns = false;
    for (const QString &line : lines)
        twoColumns = twoColumns || line.contains(QLatin1Char('|'));
    m_pList->setColumnCount(twoColumns ? 2 : 1);
    m_pList->setHeaderHidden(true);
    m_pList->setRootIsDecorated(false);
    m_pList->setAlternatingRowColors(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QString &line : lines) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        QStringList cells;
        if (bar < 0)
            cells << line;
        else
            cells << line.left(bar) << line.mid(bar + 1);
        auto *item = new QTreeWidgetItem(m_pList, cells);
        if (cells.size() == 2)
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < m_pList->columnCount(); ++c)
        m_pList->resizeColumnToContents(c);
    m_pList->header()->setStretchLastSection(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);

    int width = 40;
    for (int c = 0; c < m_pList->columnCount(); ++c)
        width += m_pList->columnWidth(c) + 16;
    const int rows = std::max<int>(int(lines.size()), 3);
    const int rowHeight = std::max(m_pList->sizeHintForRow(0), fontMetrics().height() + 4);
    resize(std::max(width, 320), std::min(rows * rowHeight + 100, 600));
}

CListDlg::~CListDlg() = default;
