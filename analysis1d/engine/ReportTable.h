#pragma once

// The content of the band report: its 16 columns (heading, width, format) and
// one row of cell texts per band, for one lane, several lanes, all lanes or the
// user-drawn bands. Engine data without widgets or a Qt model: the report
// window shows it through a table-model adapter of its own, the batch tool
// writes it as TSV or CSV.
//
// Columns are always all 16, in the same order; a column whose report option
// is off has width 0 (hidden), so column numbers never change. Cell texts are
// filled for hidden columns too, so an export may include them. A 17th
// column, "Saturated" (ColSaturated), follows only when a listed band has
// saturated pixels, so a table without saturation is the classic one.
//
// Calibrated "MW" and "Conc." cells of bands read outside the range of the
// known values carry a trailing "*" (unless the table is built without
// marks), explained by footnote() and the footnote line of the exports.

#include "platform/CArray.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class Analysis1D;
class Band;
class ReportOptions;

class ReportTable
{
public:
    // Which bands the table lists.
    enum class Mode {
        SingleLane, // the detected bands of the first listed lane
        MultipleLanes, // the detected bands of every listed lane, in lane order
        AllLanes, // every lane's bands, then the user-drawn bands
        UserDefined, // only the user-drawn bands
    };

    // Column numbers, in table order.
    enum Column : int {
        ColLane = 0,
        ColBand,
        ColPosition,
        ColPeakAmplitude,
        ColBaseline,
        ColPeakArea,
        ColPercentPeakArea,
        ColMW,
        ColTotalIntensity,
        ColSurfaceArea,
        ColIntensityPerSurfaceArea,
        ColConcentration,
        ColPercentConcentration,
        ColRelMigrationDist,
        ColPeakWidth,
        ColGaussianFitting,
        ColumnCount
    };

    // The column after the sixteen, present only with saturated bands.
    static constexpr int ColSaturated = ColumnCount;

    // Whether calibrated cells carry the extrapolation mark.
    enum class Marks {
        Extrapolated, // "MW" and "Conc." read outside the known range end in "*"
        None, // plain numbers (batch tables read by other programs)
    };
    // The mark and the line that explains it.
    static const QString &extrapolatedMark();
    static const QString &extrapolatedFootnote();

    // The table's column format for centred text (every report column uses it).
    static constexpr int kCenteredFormat = 2;

    // Text of the "Lane" cell of the user-drawn bands' rows.
    static const QString &userDefinedLaneText();

    ReportTable();

    // The table for 'analysis'. selectedLanes are 0-based lane indices (used
    // by SingleLane, its first entry, and MultipleLanes; duplicates count once);
    // indices outside the analysis's lanes give no rows. With allColumns every
    // column gets its full width whatever the options. The user-drawn bands are
    // measured and collected from the analysis's document when the mode lists
    // them (Analysis1D::GetUserDrawBands), which is why the analysis is not const.
    static ReportTable build(Analysis1D &analysis, const ReportOptions &options, Mode mode,
                             const QList<int> &selectedLanes = {}, bool allColumns = false,
                             Marks marks = Marks::Extrapolated);
    // The same with the user-drawn bands already measured; the analysis is
    // only read (its lanes and whether intensity standards are loaded).
    static ReportTable build(const Analysis1D &analysis, const CArray<Band> &userBands,
                             const ReportOptions &options, Mode mode,
                             const QList<int> &selectedLanes = {}, bool allColumns = false,
                             Marks marks = Marks::Extrapolated);

    // Columns -------------------------------------------------------------------
    int columnCount() const { return int(m_columns.size()); }
    // Out-of-range column numbers raise CInvalidArgException (as do row numbers below).
    const QString &heading(int column) const;
    // 0 when the column is hidden.
    int width(int column) const;
    bool isColumnVisible(int column) const { return width(column) > 0; }
    // Table column format (kCenteredFormat).
    int format(int column) const;

    // Rows ----------------------------------------------------------------------
    int rowCount() const { return int(m_rows.size()); }
    const QString &cell(int row, int column) const;
    const QStringList &row(int row) const;
    // The band a row shows: its 0-based lane index (-1 for a user-drawn band)
    // and its 0-based band index (in the lane, or among the user-drawn bands).
    int rowLane(int row) const;
    int rowBand(int row) const;
    // The row of a detected band, or -1 when the table does not list it.
    int rowOf(int lane, int band) const;
    // The "Saturated" column is present (a listed band has saturated pixels).
    bool hasSaturatedColumn() const { return columnCount() > ColumnCount; }
    // Rows whose band has saturated pixels / whose calibrated cells are marked.
    int saturatedRowCount() const;
    int extrapolatedRowCount() const;
    // The lines the exports add under the table: the mark's explanation when
    // a cell carries it; empty otherwise.
    QStringList footnotes() const;

    // Export --------------------------------------------------------------------
    // The heading line, then one line per row, then the footnotes (each a
    // line of its own, one field). Only visible columns unless
    // includeHiddenColumns. TSV: fields joined by tabs, lines ended by "\n"
    // (a tab or line break inside a cell becomes a blank). CSV (RFC 4180):
    // fields joined by ",", a field holding a comma, quote, CR or LF is
    // quoted with its quotes doubled, lines ended by "\r\n".
    QString toTsv(bool includeHiddenColumns = false) const;
    QString toCsv(bool includeHiddenColumns = false) const;
    // One CSV field as toCsv writes it.
    static QString csvQuoted(const QString &text);

private:
    struct ColumnInfo
    {
        QString heading;
        int width = 0;
        int format = kCenteredFormat;
    };
    struct RowInfo
    {
        QStringList cells;
        int lane = -1;
        int band = -1;
        int saturatedPixels = 0;
        bool extrapolated = false;
    };

    void createColumns(const ReportOptions &options, bool odStandardsLoaded, bool allColumns);
    void addDetectedRows(const Analysis1D &analysis, const std::vector<bool> &laneFlags,
                         Marks marks);
    void addUserDefinedRows(const CArray<Band> &userBands);
    // Appends the "Saturated" column when a row needs it.
    void addSaturatedColumn(const ReportOptions &options, bool allColumns);
    QString toDelimited(QChar separator, const QString &lineEnd, bool includeHiddenColumns,
                        QString (*field)(const QString &)) const;
    static QString tsvField(const QString &text);
    void checkColumn(int column) const;
    void checkRow(int row) const;

    std::vector<ColumnInfo> m_columns;
    std::vector<RowInfo> m_rows;
};
