#include "util/CExportTable.h"

#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <xlsxwriter.h>

#include <cstdio>

namespace {

bool s_opensOnDesktop = false;

const QString kExportSection = QStringLiteral("Export");
const QString kLastFolderKey = QStringLiteral("LastFolder");

} // namespace

CExportTable::CExportTable(const QString &path) : m_path(path)
{
    // Written under a name of its own and renamed once complete.
    m_partPath = path + QStringLiteral(".part");
    // The library opens the file only when closing: a folder that cannot
    // take the file is found out here, before any cell is written.
    QFile probe(m_partPath);
    if (!probe.open(QIODevice::WriteOnly)) {
        m_closeError = probe.errorString();
        return;
    }
    probe.close();
    m_workbook = workbook_new(QFile::encodeName(m_partPath).constData());
    if (m_workbook) {
        m_worksheet = workbook_add_worksheet(m_workbook, nullptr);
        if (!m_worksheet) {
            workbook_close(m_workbook);
            m_workbook = nullptr;
        }
    }
    if (!m_workbook)
        QFile::remove(m_partPath);
}

CExportTable::~CExportTable()
{
    const bool written = Close();
    if (written && s_opensOnDesktop)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath()));
}

int CExportTable::SetCell(int column, int row, const QString &text)
{
    if (!m_worksheet || m_closed || column < 1 || column > kMaxColumn || row < 1 || row > kMaxRow)
        return 0;
    const QByteArray utf8 = text.toUtf8();
    return worksheet_write_string(m_worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                  utf8.constData(), nullptr)
            == LXW_NO_ERROR
        ? 1
        : 0;
}

int CExportTable::SetCell(int column, int row, double value)
{
    if (!m_worksheet || m_closed || column < 1 || column > kMaxColumn || row < 1 || row > kMaxRow)
        return 0;
    return worksheet_write_number(m_worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value,
                                  nullptr)
            == LXW_NO_ERROR
        ? 1
        : 0;
}

int CExportTable::SetCellText(int column, int row, const QString &text)
{
    double value = 0.0;
    if (NumberFromText(text, &value))
        return SetCell(column, row, value);
    // Blank cells (the lane number appears on a lane's first row only) stay empty.
    if (text.trimmed().isEmpty())
        return 1;
    return SetCell(column, row, text);
}

void CExportTable::WriteTable(const QStringList &headings, const QList<QStringList> &rows,
                              int firstRow)
{
    for (int c = 0; c < headings.size(); ++c)
        SetCell(c + 1, firstRow, headings[c]);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &cells = rows[r];
        for (int c = 0; c < cells.size(); ++c)
            SetCellText(c + 1, firstRow + 1 + r, cells[c]);
    }
}

bool CExportTable::Close(QString *error)
{
    if (!m_closed) {
        m_closed = true;
        if (!m_workbook) {
            if (m_closeError.isEmpty())
                m_closeError = QStringLiteral("the workbook could not be created");
        } else {
            const lxw_error result = workbook_close(m_workbook);
            m_workbook = nullptr;
            m_worksheet = nullptr;
            if (result != LXW_NO_ERROR) {
                m_closeError = QString::fromUtf8(lxw_strerror(result));
                QFile::remove(m_partPath);
            } else if (std::rename(QFile::encodeName(m_partPath).constData(),
                                   QFile::encodeName(m_path).constData())
                       != 0) {
                // rename replaces the target in one step, or leaves it alone.
                m_closeError = QStringLiteral("the file could not be replaced");
                QFile::remove(m_partPath);
            } else {
                m_closeResult = true;
            }
        }
    }
    if (error && !m_closeResult)
        *error = m_closeError;
    return m_closeResult;
}

QString CExportTable::ColumnName(int column)
{
    // Bijective base 26: there is no zero digit, "Z" is followed by "AA".
    QString name;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        name.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

QString CExportTable::CellReference(int column, int row)
{
    return ColumnName(column) + QString::number(row);
}

bool CExportTable::NumberFromText(const QString &text, double *value)
{
    static const QRegularExpression number(
        QStringLiteral("^(-?)(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d+)?$|^(-?)\\.\\d+$"));
    QString t = text.trimmed();
    bool negative = false;
    if (t.size() > 2 && t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2);
        if (t.startsWith(u'-'))
            return false;
    }
    if (!number.match(t).hasMatch())
        return false;
    t.remove(u',');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return false;
    *value = negative ? -v : v;
    return true;
}

void CExportTable::SetOpensOnDesktop(bool open)
{
    s_opensOnDesktop = open;
}

bool CExportTable::OpensOnDesktop()
{
    return s_opensOnDesktop;
}

QString CExportTable::AskExportPath(const QString &suggestedName)
{
    ProfileStore &store = ProfileStore::instance();
    const QString folder = store.GetProfileString(kExportSection, kLastFolderKey, QDir::homePath());
    QString path = Prompts::instance().AskSaveFile(QStringLiteral("Export to Excel"),
                                                   QStringLiteral("Excel Workbook (*.xlsx)"),
                                                   QDir(folder).filePath(suggestedName));
    if (path.isEmpty())
        return path;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    store.WriteProfileString(kExportSection, kLastFolderKey, QFileInfo(path).absolutePath());
    return path;
}
