#include "analysis1d/engine/LaneProfileExport.h"

#include "analysis1d/engine/Analysis1D.h"
#include "imaging/RasterImageGS16.h"
#include "util/CExportTable.h"

#include <algorithm>

int LaneProfileExport::PositionCount(const Analysis1D &analysis)
{
    if (const RasterImageGS16 *image = analysis.GetAnalysisRasterImage())
        return image->getHeight();
    int rows = 0;
    for (int i = 0; i < analysis.GetNumberOfLanes(); ++i)
        rows = std::max(rows, analysis.GetLane(i).GetProfile()->GetSize());
    return rows;
}

QList<int> LaneProfileExport::AllLanes(const Analysis1D &analysis)
{
    QList<int> lanes;
    for (int i = 0; i < analysis.GetNumberOfLanes(); ++i)
        lanes << i;
    return lanes;
}

void LaneProfileExport::WriteTable(CExportTable &table, const Analysis1D &analysis,
                                   const QList<int> &lanes, const QString &title, const Step &step)
{
    const int n = PositionCount(analysis);
    bool writing = true;
    auto advance = [&] {
        if (step && !step())
            writing = false;
    };
    table.SetCell(1, 1, title);
    for (int i = 0; i < n && writing; ++i) {
        table.SetCell(1, i + 2, double(i));
    }
    int column = 2;
    for (const int lane : lanes) {
        table.SetCell(column, 1, QStringLiteral("Lane %1").arg(lane + 1));
        const CIntDataArray &profile = *analysis.GetLane(lane).GetProfile();
        const int values = std::min(n, profile.GetSize());
        for (int i = 0; i < values && writing; ++i) {
            table.SetCell(column, i + 2, double(profile[i]));
            advance();
        }
        ++column;
    }
}

QByteArray LaneProfileExport::Text(const Analysis1D &analysis, const QList<int> &lanes,
                                   const QString &title, const QByteArray &lineEnd,
                                   const Step &step)
{
    const int n = PositionCount(analysis);
    bool writing = true;
    QByteArray text = title.toUtf8();
    text += '\t';
    for (int i = 0; i < n; ++i) {
        text += QByteArray::number(i);
        text += '\t';
    }
    text += lineEnd;
    for (const int lane : lanes) {
        const CIntDataArray &profile = *analysis.GetLane(lane).GetProfile();
        text += "Lane " + QByteArray::number(lane + 1) + '\t';
        const int values = std::min(n, profile.GetSize());
        for (int i = 0; i < values && writing; ++i) {
            text += QByteArray::number(profile[i]);
            text += '\t';
            if (step && !step())
                writing = false;
        }
        text += lineEnd;
    }
    return text;
}
