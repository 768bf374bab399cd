#include "analysis1d/calibration/MWManager.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Lane.h"
#include "platform/CArchive.h"

#include <algorithm>
#include <cstdint>

IMPLEMENT_SERIAL(MWManager, CObject, VERSIONABLE_SCHEMA | 1)

MWManager::MWManager() = default;

MWManager::MWManager(Analysis1D *pAnalysis) : m_pAnalysis(pAnalysis) { }

MWManager::~MWManager() = default;

void MWManager::Serialize(CArchive &ar)
{
    if (ar.IsStoring())
        return; // schema 1 keeps nothing of its own
    const unsigned schema = ar.GetObjectSchema();
    // Schema 1 and later (and an in-place read, which has no schema) hold nothing.
    if (schema == 0)
        readSchema0(ar);
}

void MWManager::ReadOldVersion(CArchive &ar)
{
    readSchema0(ar);
}

void MWManager::readSchema0(CArchive &ar)
{
    int32_t count = 0;
    ar >> count;
    // Ladders are read one at a time, so a damaged count runs into the end of
    // the input instead of allocating for it.
    for (int32_t i = 0; i < count; ++i) {
        MWLadder ladder;
        ladder.Serialize(ar, 0);
        m_Ladders.Add(ladder);
    }
    CArray<Lane> noLanes;
    ConvertLaddersToKnownWeights(m_pAnalysis ? *m_pAnalysis->GetLanes() : noLanes);
}

void MWManager::ConvertLaddersToKnownWeights(CArray<Lane> &lanes) const
{
    for (const MWLadder &ladder : m_Ladders) {
        // The array's own check raises CInvalidArgException for a lane index
        // outside the lanes.
        Lane &lane = lanes[ladder.GetLaneIndex()];
        const int n = std::min(lane.GetNumberOfBands(), ladder.GetNumberOfMarkers());
        for (int i = 0; i < n; ++i) {
            BandData *data = lane.GetBand(i).getData();
            data->m_hasKnownMW = true;
            data->m_knownMW = ladder.GetMarker(i).GetMolecularWeight();
        }
    }
}
