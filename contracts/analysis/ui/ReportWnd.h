#pragma once

// The table window of the analysis frame: a child window holding a table of
// texts, with printing and the export of the table to a workbook and to a
// text file. Derived windows fill it through the cell calls and show their own
// context menu (OnContextMenu).
//
// Both exports have one layout: a heading row with the visible columns'
// headings, then one row per table row; the workbook holds numbers as
// numbers. The text file separates fields by tabs and ends lines with CR LF.
// Ctrl+C copies the selected rows (visible columns) as tab-separated text.

#include "platform/Geometry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPainter;
class QPrinter;
class QTableView;
class ReportWndModel;

class ReportWnd : public QWidget
{
    Q_OBJECT

public:
    // Column formats.
    static constexpr int kFormatLeft = 0;
    static constexpr int kFormatRight = 1;
    static constexpr int kFormatCentered = 2;

    explicit ReportWnd(QWidget *parent = nullptr);
    ~ReportWnd() override;

    // Places the window as a visible child of parent over rect, with the
    // control identifier id (the object name "13501", say). Nonzero on success.
    virtual int Create(QWidget *parent, const CRect &rect, int id);
    int GetControlId() const { return m_controlId; }

    // Table ------------------------------------------------------------------------
    // Appends a column; width 0 hides it. Returns its index.
    int AddColumn(const QString &title, int format, int width);
    int getColumnCount() const;
    // Appends an empty row and returns its index.
    int AddRow();
    // Out-of-range rows or columns raise CInvalidArgException.
    void SetCellValue(int row, int column, const QString &text);
    QString GetCellValue(int row, int column) const;
    QString GetColumnHeading(int column) const;
    int GetColumnWidth(int column) const;
    int getRowCount() const;
    void DeleteRow(int row);
    void DeleteAllItems();
    void DeleteAllColumns();
    // Applies the column widths (hidden columns stay hidden, a visible one is
    // at least as wide as its heading) and repaints.
    void AdjustReportWindow();
    void SelectRow(int row);
    void UnselectAllRows();
    QList<int> GetSelectedRows() const;

    // Text of the selected rows as Ctrl+C copies it: visible columns joined by
    // tabs, one line per row, each ended by "\n".
    QString SelectionText() const;

    // Printing: the headings and the rows in a ruled grid, as many pages as needed.
    virtual void Print(QPainter *painter, const QRect &pageRect);
    void Print(QPrinter *printer);

    // Exports --------------------------------------------------------------------------
    // Asks for the file, then writes it; failures are told through Prompts.
    virtual void OnExportToExcel();
    virtual void OnExportToAscii();
    // The same without asking. False with *error naming the reason.
    bool ExportToExcel(const QString &path, QString *error) const;
    bool ExportToAscii(const QString &path, QString *error) const;
    // The text file's content.
    QByteArray AsciiText() const;
    // Lines the exports add under the table, after one empty row (none by default).
    void SetFootnotes(const QStringList &lines) { m_footnotes = lines; }

    QTableView *GetTableView() const { return m_view; }

protected:
    // Right button in the table, at a screen point. Nothing by default.
    virtual void OnContextMenu(const QPoint &globalPos);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<int> visibleColumns() const;
    // Draws the rows from firstRow that fit; returns the next row to print.
    int printPage(QPainter *painter, const QRect &pageRect, int firstRow);

    ReportWndModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    int m_controlId = 0;
    QStringList m_footnotes;
};
