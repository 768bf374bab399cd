#include "analysis1d/calibration/MWAssignments.h"

#include "analysis1d/engine/BandData.h"
#include "analysis1d/engine/Lane.h"
#include "data/CDoubleDataArray.h"
#include "platform/Prompts.h"

#include <QStringList>

#include <algorithm>

const QString MWAssignments::c_laneNeedsTwoBands =
    QStringLiteral("Please select a lane that has at least 2 bands.");
const QString MWAssignments::c_ladderNeedsOneLane =
    QStringLiteral("To create a ladder, all the known Molecular Weight assignments should be in "
                   "the same lane.");
const QString MWAssignments::c_newLadderName = QStringLiteral("New Ladder");

bool MWAssignments::CheckLaneForLadder(const CArray<Lane> &lanes, int laneIndex)
{
    if (lanes[laneIndex].GetNumberOfBands() >= 2)
        return true;
    Prompts::instance().MessageBox(c_laneNeedsTwoBands, MB_OK);
    return false;
}

void MWAssignments::ClearKnownMolecularWeights(CArray<Lane> &lanes)
{
    for (Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            BandData *data = lane.GetBand(b).getData();
            data->m_knownMW = 0.0;
            data->m_hasKnownMW = false;
        }
    }
}

int MWAssignments::ApplyLadder(CArray<Lane> &lanes, int laneIndex, const CDoubleDataArray &values)
{
    Lane &lane = lanes[laneIndex]; // checked before anything changes
    ClearKnownMolecularWeights(lanes);
    // Bands run top to bottom and ladders are kept descending, so the largest
    // weight goes to the topmost band.
    const int n = std::min(lane.GetNumberOfBands(), values.GetSize());
    for (int i = 0; i < n; ++i) {
        BandData *data = lane.GetBand(i).getData();
        data->m_hasKnownMW = true;
        data->m_knownMW = values[i];
    }
    return n;
}

int MWAssignments::ApplyLadder(CArray<Lane> &lanes, int laneIndex,
                               const StorableMWStandard &ladder)
{
    return ApplyLadder(lanes, laneIndex, ladder.m_values);
}

void MWAssignments::AssignKnownValues(BandData &data, double knownAmount, double knownMW)
{
    if (knownAmount > 0.0) {
        data.m_hasKnownIntensity = true;
        data.m_knownIntensity = knownAmount;
    }
    if (knownMW > 0.0) {
        data.m_hasKnownMW = true;
        data.m_knownMW = knownMW;
    }
}

void MWAssignments::RemoveAssignments(BandData &data)
{
    data.m_knownIntensity = 0.0;
    data.m_knownMW = 0.0;
    data.m_hasKnownIntensity = false;
    data.m_hasKnownMW = false;
}

void MWAssignments::RemoveAssignments(CArray<Lane> &lanes, int lane, int band)
{
    RemoveAssignments(*lanes[lane].GetBand(band).getData());
}

QVector<MWAssignments::BandRef> MWAssignments::AssignedBands(const CArray<Lane> &lanes)
{
    QVector<BandRef> rows;
    for (int l = 0; l < lanes.GetSize(); ++l) {
        const Lane &lane = lanes[l];
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            const BandData *data = lane.GetBand(b).getData();
            if (data->m_hasKnownIntensity || data->m_hasKnownMW)
                rows.append(BandRef{l, b});
        }
    }
    return rows;
}

QString MWAssignments::FormatLaneBand(int lane, int band)
{
    return QString::asprintf("%d,%d", lane + 1, band + 1);
}

bool MWAssignments::ParseLaneBand(const QString &text, int &lane, int &band)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    bool laneOk = false;
    bool bandOk = false;
    const int l = parts[0].trimmed().toInt(&laneOk);
    const int b = parts[1].trimmed().toInt(&bandOk);
    if (!laneOk || !bandOk || l < 1 || b < 1)
        return false;
    lane = l - 1;
    band = b - 1;
    return true;
}

int MWAssignments::CollectLadderValues(const CArray<Lane> &lanes, CDoubleDataArray &values)
{
    values.RemoveAll();
    int found = -1;
    int laneCount = 0;
    for (int l = 0; l < lanes.GetSize(); ++l) {
        const Lane &lane = lanes[l];
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            if (lane.GetBand(b).getData()->m_hasKnownMW) {
                found = l;
                ++laneCount;
                break;
            }
        }
    }
    if (laneCount != 1) {
        Prompts::instance().MessageBox(c_ladderNeedsOneLane, MB_OK);
        return -1;
    }
    const Lane &lane = lanes[found];
    for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
        const BandData *data = lane.GetBand(b).getData();
        if (data->m_hasKnownMW)
            values.Add(data->m_knownMW);
    }
    return found;
}

bool MWAssignments::NewLadderFromAssignments(const CArray<Lane> &lanes,
                                             StorableMWStandard &ladder)
{
    CDoubleDataArray values;
    if (CollectLadderValues(lanes, values) < 0)
        return false;
    ladder = StorableMWStandard();
    ladder.m_values = values;
    ladder.m_name = c_newLadderName;
    return true;
}
