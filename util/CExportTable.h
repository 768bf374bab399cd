#pragma once

// A spreadsheet filled cell by cell and handed to the user: a real .xlsx
// workbook with one worksheet, written with libxlsxwriter. Columns and rows
// count from 1; every cell holds a text or a number. The workbook is written
// beside its target and renamed over it once complete, so a failed export
// never leaves a damaged file in place of an earlier one.
//
// In the desktop program the finished file is opened with the desktop's
// default program when the table is destroyed (SetOpensOnDesktop, set by the
// program at start); headless (batch tool, tests) it is only written.

#include <QList>
#include <QString>
#include <QStringList>

struct lxw_workbook;
struct lxw_worksheet;

class CExportTable
{
public:
    // Largest column and row a worksheet has (column "XFD", row 1048576).
    static constexpr int kMaxColumn = 16384;
    static constexpr int kMaxRow = 1048576;

    // A table that will be written to 'path' (the workbook is created at once).
    explicit CExportTable(const QString &path);
    // Closes the workbook if Close was not called, then, when enabled, opens
    // the written file on the desktop.
    ~CExportTable();
    CExportTable(const CExportTable &) = delete;
    CExportTable &operator=(const CExportTable &) = delete;

    // 1 when the workbook could be created.
    int IsExportable() const { return m_workbook ? 1 : 0; }

    // One cell; column and row from 1. Returns 1 when written, 0 for a cell
    // outside the worksheet or when the table is not exportable.
    int SetCell(int column, int row, const QString &text);
    int SetCell(int column, int row, double value);
    // Text that reads as a number (as the report shows numbers: "1,234.50",
    // "(0.5)", "-3") is written as that number, any other text as text.
    int SetCellText(int column, int row, const QString &text);

    // The table layout every export shares: the headings in row 'firstRow',
    // then one row per entry of 'rows', from column 1, numbers as numbers.
    void WriteTable(const QStringList &headings, const QList<QStringList> &rows, int firstRow = 1);

    // Writes the file. False with *error naming the reason; the target is
    // then left as it was. Further calls return the first result.
    bool Close(QString *error = nullptr);
    const QString &FilePath() const { return m_path; }

    // Spreadsheet references: column 1 is "A", 26 "Z", 27 "AA", 28 "AB",
    // 702 "ZZ", 703 "AAA". Empty for a column below 1.
    static QString ColumnName(int column);
    static QString CellReference(int column, int row);
    // Reads a cell text as the report formats numbers: digits with "."
    // decimals, "," group separators, a leading "-" or enclosing parentheses
    // for negatives. False for anything else (blank, words, "1.2.3").
    static bool NumberFromText(const QString &text, double *value);

    // Whether destroyed tables open their file on the desktop (default off).
    static void SetOpensOnDesktop(bool open);
    static bool OpensOnDesktop();

    // Asks where to write an export (save dialog through Prompts), starting in
    // the folder used last; remembers the chosen folder. Empty: cancelled.
    static QString AskExportPath(const QString &suggestedName);

private:
    QString m_path;
    QString m_partPath;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_worksheet = nullptr;
    bool m_closed = false;
    bool m_closeResult = false;
    QString m_closeError;
};
