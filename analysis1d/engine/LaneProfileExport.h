#pragma once

// The lane profiles as the lane graph exports them, shared by the graph
// window and the batch tool.
//
// Spreadsheet: column 1 holds the title in row 1 and the positions 0 .. N-1
// below it; each exported lane follows in a column of its own, "Lane n" in
// row 1 and its profile value at every position below. Text: a first line
// with the title and the positions, then a line per lane with "Lane n" and
// its values; every field is followed by a tab.
//
// N is the number of analysis-image rows (a lane's profile has one value per
// row). A profile shorter than that (a damaged document) ends early rather
// than being read past its end.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class Analysis1D;
class CExportTable;

class LaneProfileExport
{
public:
    // Called after every value written; false stops the writing of values
    // (the remaining lanes still get their label).
    using Step = std::function<bool()>;

    // Positions exported: the analysis image's height (without an image, the
    // longest profile).
    static int PositionCount(const Analysis1D &analysis);
    // Every lane, in order.
    static QList<int> AllLanes(const Analysis1D &analysis);

    static void WriteTable(CExportTable &table, const Analysis1D &analysis, const QList<int> &lanes,
                           const QString &title, const Step &step = {});
    static QByteArray Text(const Analysis1D &analysis, const QList<int> &lanes,
                           const QString &title, const QByteArray &lineEnd, const Step &step = {});
};
