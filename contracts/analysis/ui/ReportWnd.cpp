#include "contracts/analysis/ui/ReportWnd.h"

#include "contracts/analysis/ui/ReportWndModel.h"
#include "platform/Prompts.h"
#include "util/CExportTable.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

ReportWnd::ReportWnd(QWidget *parent) : QWidget(parent)
{
    m_model = new ReportWndModel(this);
    m_view = new QTableView(this);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

ReportWnd::~ReportWnd() = default;

int ReportWnd::Create(QWidget *parent, const CRect &rect, int id)
{
    if (!parent)
        return 0;
    setParent(parent);
    setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    m_controlId = id;
    setObjectName(QString::number(id));
    show();
    return 1;
}

int ReportWnd::AddColumn(const QString &title, int format, int width)
{
    const int index = m_model->addColumn({title, format, width});
    m_view->setColumnHidden(index, width <= 0);
    if (width > 0)
        m_view->setColumnWidth(index, width);
    return index;
}

int ReportWnd::getColumnCount() const
{
    return m_model->columnCount();
}

int ReportWnd::AddRow()
{
    return m_model->addRow();
}

void ReportWnd::SetCellValue(int row, int column, const QString &text)
{
    m_model->setCell(row, column, text);
}

QString ReportWnd::GetCellValue(int row, int column) const
{
    return m_model->cell(row, column);
}

QString ReportWnd::GetColumnHeading(int column) const
{
    return m_model->column(column).heading;
}

int ReportWnd::GetColumnWidth(int column) const
{
    return m_model->column(column).width;
}

int ReportWnd::getRowCount() const
{
    return m_model->rowCount();
}

void ReportWnd::DeleteRow(int row)
{
    m_model->removeRowAt(row);
}

void ReportWnd::DeleteAllItems()
{
    m_model->clearRows();
}

void ReportWnd::DeleteAllColumns()
{
    m_model->clearColumns();
}

void ReportWnd::AdjustReportWindow()
{
    const QFontMetrics metrics = m_view->horizontalHeader()->fontMetrics();
    for (int c = 0; c < getColumnCount(); ++c) {
        const int width = m_model->column(c).width;
        m_view->setColumnHidden(c, width <= 0);
        if (width <= 0)
            continue;
        // The given widths were made for a smaller font; a heading stays readable.
        const int heading = metrics.horizontalAdvance(m_model->column(c).heading) + 16;
        int cells = 0;
        for (int r = 0; r < getRowCount(); ++r)
            cells = std::max(cells, m_view->fontMetrics().horizontalAdvance(m_model->cell(r, c)));
        m_view->setColumnWidth(c, std::max({width, heading, cells + 12}));
    }
    m_view->viewport()->update();
}

void ReportWnd::SelectRow(int row)
{
    if (row < 0 || row >= getRowCount())
        return;
    m_view->selectionModel()->select(m_model->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_view->scrollTo(m_model->index(row, 0));
}

void ReportWnd::UnselectAllRows()
{
    m_view->clearSelection();
}

QList<int> ReportWnd::GetSelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<int> ReportWnd::visibleColumns() const
{
    QList<int> columns;
    for (int c = 0; c < getColumnCount(); ++c) {
        if (m_model->column(c).width > 0)
            columns << c;
    }
    return columns;
}

QString ReportWnd::SelectionText() const
{
    const QList<int> columns = visibleColumns();
    QString text;
    for (const int row : GetSelectedRows()) {
        QStringList fields;
        for (const int c : columns)
            fields << m_model->cell(row, c).trimmed();
        text += fields.join(u'\t') + u'\n';
    }
    return text;
}

bool ReportWnd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(SelectionText());
        return true;
    }
    if (watched == m_view->viewport() && event->type() == QEvent::ContextMenu) {
        OnContextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReportWnd::OnContextMenu(const QPoint &) { }

// Printing -----------------------------------------------------------------------------

int ReportWnd::printPage(QPainter *painter, const QRect &pageRect, int firstRow)
{
    const QList<int> columns = visibleColumns();
    if (columns.isEmpty())
        return getRowCount();
    const QFontMetrics metrics = painter->fontMetrics();
    const int lineHeight = metrics.height() * 3 / 2;
    // Column widths in proportion to the natural widths, filling the page.
    QList<int> natural;
    int total = 0;
    for (const int c : columns) {
        int w = metrics.horizontalAdvance(m_model->column(c).heading);
        for (int r = 0; r < getRowCount(); ++r)
            w = std::max(w, metrics.horizontalAdvance(m_model->cell(r, c)));
        natural << w + metrics.averageCharWidth() * 2;
        total += natural.last();
    }
    QList<int> widths;
    for (const int w : natural)
        widths << int(qint64(w) * pageRect.width() / std::max(total, 1));

    auto drawLine = [&](int y, auto textOf, bool heading) {
        int x = pageRect.left();
        for (int i = 0; i < columns.size(); ++i) {
            const QRect cell(x, y, widths[i], lineHeight);
            const QString text = textOf(columns[i]);
            double value = 0.0;
            int align = Qt::AlignCenter;
            if (!heading && CExportTable::NumberFromText(text, &value))
                align = Qt::AlignRight | Qt::AlignVCenter;
            painter->drawRect(cell);
            painter->drawText(cell.adjusted(4, 0, -4, 0), align, text);
            x += widths[i];
        }
    };

    int y = pageRect.top();
    QFont bold = painter->font();
    const QFont normal = bold;
    bold.setBold(true);
    painter->setFont(bold);
    drawLine(
        y, [&](int c) { return m_model->column(c).heading; }, true);
    painter->setFont(normal);
    y += lineHeight;
    int row = firstRow;
    while (row < getRowCount() && y + lineHeight <= pageRect.bottom()) {
        drawLine(
            y, [&](int c) { return m_model->cell(row, c); }, false);
        y += lineHeight;
        ++row;
    }
    return row;
}

// On a printer the rows go on over as many pages as they need; on any other
// device (a picture) only the first page's rows are drawn.
void ReportWnd::Print(QPainter *painter, const QRect &pageRect)
{
    auto *printer = dynamic_cast<QPrinter *>(painter->device());
    int row = 0;
    do {
        const int next = printPage(painter, pageRect, row);
        if (!printer || next >= getRowCount() || next == row)
            break;
        row = next;
        printer->newPage();
    } while (true);
}

void ReportWnd::Print(QPrinter *printer)
{
    QPainter painter(printer);
    if (!painter.isActive())
        return;
    Print(&painter, painter.viewport());
}

// Exports -------------------------------------------------------------------------------

bool ReportWnd::ExportToExcel(const QString &path, QString *error) const
{
    const QList<int> columns = visibleColumns();
    QStringList headings;
    for (const int c : columns)
        headings << m_model->column(c).heading;
    QList<QStringList> rows;
    for (int r = 0; r < getRowCount(); ++r) {
        QStringList cells;
        for (const int c : columns)
            cells << m_model->cell(r, c);
        rows << cells;
    }
    if (!m_footnotes.isEmpty()) {
        rows << QStringList();
        for (const QString &note : m_footnotes)
            rows << QStringList{note};
    }
    CExportTable table(path);
    if (!table.IsExportable()) {
        table.Close(error);
        return false;
    }
    table.WriteTable(headings, rows);
    return table.Close(error);
}

QByteArray ReportWnd::AsciiText() const
{
    const QList<int> columns = visibleColumns();
    QByteArray text;
    auto line = [&](auto textOf) {
        QStringList fields;
        for (const int c : columns)
            fields << textOf(c);
        text += fields.join(u'\t').toUtf8() + "\r\n";
    };
    line([&](int c) { return m_model->column(c).heading; });
    for (int r = 0; r < getRowCount(); ++r)
        line([&](int c) { return m_model->cell(r, c); });
    if (!m_footnotes.isEmpty()) {
        text += "\r\n";
        for (const QString &note : m_footnotes)
            text += note.toUtf8() + "\r\n";
    }
    return text;
}

bool ReportWnd::ExportToAscii(const QString &path, QString *error) const
{
    QSaveFile file(path);
    const QByteArray text = AsciiText();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void ReportWnd::OnExportToExcel()
{
    const QString path = CExportTable::AskExportPath(QStringLiteral("Report.xlsx"));
    if (path.isEmpty())
        return;
    QString error;
    if (!ExportToExcel(path, &error)) {
        Prompts::instance().MessageBox(QStringLiteral("Can't export to Excel!\n%1").arg(error),
                                       MB_OK | MB_ICONERROR);
    }
}

void ReportWnd::OnExportToAscii()
{
    QString path = Prompts::instance().AskSaveFile(
        QStringLiteral("Export to Text File"), QStringLiteral("Text Files (*.txt);;All Files (*)"),
        QStringLiteral("Report.txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!ExportToAscii(path, &error))
        Prompts::instance().MessageBox(
            QStringLiteral("The report could not be written to %1:\n%2").arg(path, error),
            MB_OK | MB_ICONERROR);
}
