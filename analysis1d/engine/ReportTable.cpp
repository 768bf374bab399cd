#include "analysis1d/engine/ReportTable.h"

#include "analysis1d/calibration/CalibrationQuality.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/ReportOptions.h"
#include "platform/Exceptions.h"
#include "util/StringUtil.h"

#include <algorithm>
#include <array>

namespace {

struct ColumnDefinition
{
    const char *heading;
    int width;
};

// Headings and full widths, in column order.
constexpr std::array<ColumnDefinition, ReportTable::ColumnCount> kColumns = {{
    {"Lane", 40},
    {"Band", 40},
    {"Position", 50},
    {"Peak Amplitude", 50},
    {"Baseline", 65},
    {"Peak Area", 75},
    {"% Peak Area", 65},
    {"MW", 75},
    {"Total Intensity", 75},
    {"SurfaceArea", 75},
    {"Intensity/SurfaceArea", 75},
    {"Conc.", 75},
    {"% Conc.", 75},
    {"Rel. Mig. Dist.", 75},
    {"Peak Width", 75},
    {"Gaussian Fitting", 75},
}};

// Grouped thousands, fixed decimals: "1,234.50".
QString grouped(double value, short decimals)
{
    return StringUtil::FloatFormatString(value, 1, decimals);
}

// printf formats without grouping; QString::asprintf always uses "." whatever
// the user's locale, unlike the C library once the application set a locale.
QString fixed0(double value)
{
    return QString::asprintf("%0.0f", value);
}

QString fixed2(double value)
{
    return QString::asprintf("%0.2f", value);
}

// The stored share is a fraction of the lane (0..1); the column is titled and
// formatted as a whole percentage, so it shows the fraction times 100.
QString percentOfLane(double fraction)
{
    return fixed0(fraction * 100.0);
}

// Cells 1 onwards of a detected band (the "Lane" cell depends on the row's
// place in its lane).
void fillDetectedCells(QStringList &cells, int bandNumber, const BandData &d)
{
    cells[ReportTable::ColBand] = QString::number(bandNumber);
    cells[ReportTable::ColPosition] = QString::number(d.m_centerOfGravity.y);
    cells[ReportTable::ColPeakAmplitude] = grouped(d.m_peakAmplitude, 0);
    cells[ReportTable::ColBaseline] = grouped(d.getAverageBaseLine(), 0);
    cells[ReportTable::ColPeakArea] = grouped(d.m_peakArea, 2);
    cells[ReportTable::ColPercentPeakArea] = percentOfLane(d.m_peakAreaFraction);
    cells[ReportTable::ColMW] = fixed2(d.m_calibratedMW);
    cells[ReportTable::ColTotalIntensity] = grouped(d.m_intensity, 2);
    cells[ReportTable::ColSurfaceArea] = grouped(d.m_surfaceArea, 0);
    cells[ReportTable::ColIntensityPerSurfaceArea] = grouped(d.m_intensityPerSurfaceArea, 2);
    cells[ReportTable::ColConcentration] = grouped(d.m_calibratedIntensity, 2);
    cells[ReportTable::ColPercentConcentration] = fixed0(d.m_calibratedIntensityPercentage);
    cells[ReportTable::ColRelMigrationDist] = fixed2(d.m_relativeMigration);
    cells[ReportTable::ColPeakWidth] = fixed2(d.m_peakWidth);
    cells[ReportTable::ColGaussianFitting] = fixed2(d.m_gaussianFit);
}

// Empty when the band has none, so the column reads as a list of warnings.
QString saturatedText(int pixels)
{
    return pixels > 0 ? QString::number(pixels) : QString();
}

constexpr int kSaturatedWidth = 75;

// User-drawn bands are shown ungrouped, with their own formats.
void fillUserDefinedCells(QStringList &cells, int bandNumber, const BandData &d)
{
    cells[ReportTable::ColLane] = ReportTable::userDefinedLaneText();
    cells[ReportTable::ColBand] = QString::number(bandNumber);
    cells[ReportTable::ColPosition] = QString::number(d.m_centerOfGravity.y);
    cells[ReportTable::ColPeakAmplitude] = fixed0(d.m_peakAmplitude);
    cells[ReportTable::ColBaseline] = fixed0(d.getAverageBaseLine());
    cells[ReportTable::ColPeakArea] = fixed0(d.m_peakArea);
    cells[ReportTable::ColPercentPeakArea] = percentOfLane(d.m_peakAreaFraction);
    cells[ReportTable::ColMW] = fixed2(d.m_calibratedMW);
    cells[ReportTable::ColTotalIntensity] = fixed0(d.m_intensity);
    cells[ReportTable::ColSurfaceArea] = QString::number(d.m_surfaceArea);
    cells[ReportTable::ColIntensityPerSurfaceArea] = fixed0(d.m_intensityPerSurfaceArea);
    cells[ReportTable::ColConcentration] = fixed2(d.m_calibratedIntensity);
    cells[ReportTable::ColPercentConcentration] = fixed2(d.m_calibratedIntensityPercentage);
    cells[ReportTable::ColRelMigrationDist] = fixed2(d.m_relativeMigration);
    cells[ReportTable::ColPeakWidth] = fixed2(d.m_peakWidth);
    cells[ReportTable::ColGaussianFitting] = fixed2(d.m_gaussianFit);
}

} // namespace

const QString &ReportTable::userDefinedLaneText()
{
    static const QString text = QStringLiteral("User defined");
    return text;
}

const QString &ReportTable::extrapolatedMark()
{
    static const QString mark = QStringLiteral("*");
    return mark;
}

const QString &ReportTable::extrapolatedFootnote()
{
    static const QString text
        = QStringLiteral("* extrapolated: read outside the range of the known values");
    return text;
}

ReportTable::ReportTable() = default;

ReportTable ReportTable::build(Analysis1D &analysis, const ReportOptions &options, Mode mode,
                               const QList<int> &selectedLanes, bool allColumns, Marks marks)
{
    CArray<Band> userBands;
    // Measuring the drawn bands costs a profile per band: only when they are shown.
    const bool showsUserBands
        = mode == Mode::UserDefined || (mode == Mode::AllLanes && analysis.HasUserDrawnBands());
    if (showsUserBands)
        analysis.GetUserDrawBands(&userBands);
    return build(static_cast<const Analysis1D &>(analysis), userBands, options, mode, selectedLanes,
                 allColumns, marks);
}

ReportTable ReportTable::build(const Analysis1D &analysis, const CArray<Band> &userBands,
                               const ReportOptions &options, Mode mode,
                               const QList<int> &selectedLanes, bool allColumns, Marks marks)
{
    ReportTable table;
    table.createColumns(options, analysis.isODStardardsLoaded() == 1, allColumns);

    const int laneCount = analysis.GetNumberOfLanes();
    // One flag per lane. A selected index outside the lanes (a selection left
    // over after lanes were deleted) is skipped rather than written past the
    // flags: it simply lists nothing.
    std::vector<bool> flags(size_t(laneCount), false);
    auto flag = [&](int lane) {
        if (lane >= 0 && lane < laneCount)
            flags[size_t(lane)] = true;
    };

    switch (mode) {
    case Mode::SingleLane:
        if (!selectedLanes.isEmpty())
            flag(selectedLanes.first());
        table.addDetectedRows(analysis, flags, marks);
        break;
    case Mode::MultipleLanes:
        // The user-drawn bands are not shown in this mode.
        for (const int lane : selectedLanes)
            flag(lane);
        table.addDetectedRows(analysis, flags, marks);
        break;
    case Mode::AllLanes:
        flags.assign(size_t(laneCount), true);
        table.addDetectedRows(analysis, flags, marks);
        table.addUserDefinedRows(userBands);
        break;
    case Mode::UserDefined:
        table.addUserDefinedRows(userBands);
        break;
    }
    table.addSaturatedColumn(options, allColumns);
    return table;
}

void ReportTable::createColumns(const ReportOptions &options, bool odStandardsLoaded,
                                bool allColumns)
{
    // The option that shows each column; "Lane" and "Band" are always shown,
    // and the concentration columns whenever intensity standards are loaded.
    const std::array<bool, ColumnCount> shown = {
        true,
        true,
        options.m_Position != 0,
        options.m_Amplitude != 0,
        options.m_Baseline != 0,
        options.m_Area != 0,
        options.m_PrecentageArea != 0,
        options.m_MW != 0,
        options.m_Volume != 0,
        options.m_SurfaceArea != 0,
        options.m_VolumePerSurfaceArea != 0,
        options.m_Concentration != 0 || odStandardsLoaded,
        options.m_PrecentageConcentration != 0 || odStandardsLoaded,
        options.m_RelMigrationDist != 0,
        options.m_PeakWidth != 0,
        options.m_GaussianFitCorrelation != 0,
    };

    m_columns.clear();
    m_columns.reserve(ColumnCount);
    for (int c = 0; c < ColumnCount; ++c) {
        ColumnInfo info;
        info.heading = QString::fromLatin1(kColumns[size_t(c)].heading);
        info.width = (allColumns || shown[size_t(c)]) ? kColumns[size_t(c)].width : 0;
        info.format = kCenteredFormat;
        m_columns.push_back(info);
    }
}

void ReportTable::addDetectedRows(const Analysis1D &analysis, const std::vector<bool> &laneFlags,
                                  Marks marks)
{
    // Only lanes are calibrated; the user-drawn bands carry no calibrated values.
    CalibrationQuality mw;
    CalibrationQuality amounts;
    if (marks == Marks::Extrapolated) {
        mw = CalibrationQuality::Measure(analysis, CalibrationQuality::Kind::MolecularWeight);
        amounts = CalibrationQuality::Measure(analysis, CalibrationQuality::Kind::Intensity);
    }
    for (int laneIndex = 0; laneIndex < analysis.GetNumberOfLanes(); ++laneIndex) {
        if (!laneFlags[size_t(laneIndex)])
            continue;
        const Lane &lane = analysis.GetLane(laneIndex);
        for (int bandIndex = 0; bandIndex < lane.GetNumberOfBands(); ++bandIndex) {
            const BandData &d = *lane.GetBand(bandIndex).getData();
            RowInfo row;
            row.lane = laneIndex;
            row.band = bandIndex;
            row.saturatedPixels = d.m_saturatedPixels;
            row.cells.resize(ColumnCount);
            // The lane number only on the lane's first row, so lanes read as groups.
            row.cells[ColLane]
                = bandIndex == 0 ? QString::number(laneIndex + 1) : QStringLiteral(" ");
            fillDetectedCells(row.cells, bandIndex + 1, d);
            if (mw.isExtrapolated(d)) {
                row.cells[ColMW] += extrapolatedMark();
                row.extrapolated = true;
            }
            if (amounts.isExtrapolated(d)) {
                row.cells[ColConcentration] += extrapolatedMark();
                row.extrapolated = true;
            }
            m_rows.push_back(std::move(row));
        }
    }
}

void ReportTable::addUserDefinedRows(const CArray<Band> &userBands)
{
    for (int i = 0; i < userBands.GetSize(); ++i) {
        RowInfo row;
        row.lane = -1;
        row.band = i;
        row.saturatedPixels = userBands[i].getData()->m_saturatedPixels;
        row.cells.resize(ColumnCount);
        fillUserDefinedCells(row.cells, i + 1, *userBands[i].getData());
        m_rows.push_back(std::move(row));
    }
}

void ReportTable::addSaturatedColumn(const ReportOptions &options, bool allColumns)
{
    const bool any = std::any_of(m_rows.begin(), m_rows.end(),
                                 [](const RowInfo &row) { return row.saturatedPixels > 0; });
    if (!any)
        return;
    ColumnInfo info;
    info.heading = QStringLiteral("Saturated");
    info.width = (allColumns || options.m_Saturated != 0) ? kSaturatedWidth : 0;
    info.format = kCenteredFormat;
    m_columns.push_back(info);
    for (RowInfo &row : m_rows)
        row.cells.append(saturatedText(row.saturatedPixels));
}

int ReportTable::saturatedRowCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const RowInfo &row) { return row.saturatedPixels > 0; }));
}

int ReportTable::extrapolatedRowCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const RowInfo &row) { return row.extrapolated; }));
}

QStringList ReportTable::footnotes() const
{
    QStringList lines;
    if (extrapolatedRowCount() > 0)
        lines << extrapolatedFootnote();
    return lines;
}

void ReportTable::checkColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        throw CInvalidArgException("report column out of range");
}

void ReportTable::checkRow(int row) const
{
    if (row < 0 || row >= rowCount())
        throw CInvalidArgException("report row out of range");
}

const QString &ReportTable::heading(int column) const
{
    checkColumn(column);
    return m_columns[size_t(column)].heading;
}

int ReportTable::width(int column) const
{
    checkColumn(column);
    return m_columns[size_t(column)].width;
}

int ReportTable::format(int column) const
{
    checkColumn(column);
    return m_columns[size_t(column)].format;
}

const QString &ReportTable::cell(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    return m_rows[size_t(row)].cells[column];
}

const QStringList &ReportTable::row(int row) const
{
    checkRow(row);
    return m_rows[size_t(row)].cells;
}

int ReportTable::rowLane(int row) const
{
    checkRow(row);
    return m_rows[size_t(row)].lane;
}

int ReportTable::rowBand(int row) const
{
    checkRow(row);
    return m_rows[size_t(row)].band;
}

int ReportTable::rowOf(int lane, int band) const
{
    if (lane < 0)
        return -1;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].lane == lane && m_rows[r].band == band)
            return int(r);
    }
    return -1;
}

QString ReportTable::tsvField(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return out;
}

QString ReportTable::csvQuoted(const QString &text)
{
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\n')
        || text.contains(u'\r');
    if (!needsQuotes)
        return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString ReportTable::toDelimited(QChar separator, const QString &lineEnd, bool includeHiddenColumns,
                                 QString (*field)(const QString &)) const
{
    std::vector<int> columns;
    for (int c = 0; c < columnCount(); ++c) {
        if (includeHiddenColumns || m_columns[size_t(c)].width > 0)
            columns.push_back(c);
    }

    QString out;
    auto writeLine = [&](auto textOf) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out += separator;
            out += field(textOf(columns[i]));
        }
        out += lineEnd;
    };
    writeLine([&](int c) { return m_columns[size_t(c)].heading; });
    for (const RowInfo &row : m_rows)
        writeLine([&](int c) { return row.cells[c]; });
    for (const QString &note : footnotes())
        out += field(note) + lineEnd;
    return out;
}

QString ReportTable::toTsv(bool includeHiddenColumns) const
{
    return toDelimited(u'\t', QStringLiteral("\n"), includeHiddenColumns, tsvField);
}

QString ReportTable::toCsv(bool includeHiddenColumns) const
{
    return toDelimited(u',', QStringLiteral("\r\n"), includeHiddenColumns, csvQuoted);
}
