#include "cli/LaneProfileText.h"

#include "analysis1d/engine/Analysis1D.h"
#include "imaging/RasterImageGS16.h"

QByteArray LaneProfileText::Format(const Analysis1D &analysis, const QString &title)
{
    // The positions are the analysis image's rows; a lane's profile has one
    // value per row.
    const RasterImageGS16 *image = analysis.GetAnalysisRasterImage();
    int rows = image ? image->getHeight() : 0;
    if (!image) {
        for (int i = 0; i < analysis.GetNumberOfLanes(); ++i)
            rows = std::max(rows, analysis.GetLane(i).GetProfile()->GetSize());
    }
    QByteArray text = title.toUtf8();
    text += '\t';
    for (int i = 0; i < rows; ++i) {
        text += QByteArray::number(i);
        text += '\t';
    }
    text += '\n';
    for (int l = 0; l < analysis.GetNumberOfLanes(); ++l) {
        const CIntDataArray &profile = *analysis.GetLane(l).GetProfile();
        text += "Lane " + QByteArray::number(l + 1) + '\t';
        // A profile shorter than the image (a damaged document) ends early
        // rather than reading past its end.
        const int n = std::min(rows, profile.GetSize());
        for (int i = 0; i < n; ++i) {
            text += QByteArray::number(profile[i]);
            text += '\t';
        }
        text += '\n';
    }
    return text;
}
