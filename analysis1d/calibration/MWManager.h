#pragma once

// Keeps the molecular-weight ladders placed on the lanes of one analysis. Only
// documents of the oldest form hold ladders: when read, each ladder's weights
// become known molecular weights of its lane's bands, and current documents
// store the manager without them.

#include "analysis1d/calibration/MWLadder.h"
#include "platform/CArray.h"
#include "platform/CObject.h"

class Analysis1D;
class Lane;

class MWManager : public CObject
{
    DECLARE_SERIAL(MWManager)

public:
    MWManager();
    explicit MWManager(Analysis1D *pAnalysis);
    ~MWManager() override;
    MWManager(const MWManager &) = delete;
    MWManager &operator=(const MWManager &) = delete;

    // Schema 1 stores and reads nothing of its own. Schema 0 (read only): int32
    // ladder count, then each ladder in place; afterwards the ladders' markers
    // become known molecular weights of the analysis's lanes.
    void Serialize(CArchive &ar) override;
    // The manager as the oldest analyses stored it in place (schema 0).
    void ReadOldVersion(CArchive &ar);

    // For each ladder, band i of the lane at the ladder's lane index gets marker
    // i's weight as its known molecular weight, for as many as both have. A
    // lane index outside 'lanes' raises CInvalidArgException.
    void ConvertLaddersToKnownWeights(CArray<Lane> &lanes) const;

    Analysis1D *GetAnalysis() const { return m_pAnalysis; }
    void SetAnalysis(Analysis1D *pAnalysis) { m_pAnalysis = pAnalysis; }

    int GetNumberOfLadders() const { return m_Ladders.GetSize(); }
    // Raises CInvalidArgException outside 0..count - 1.
    MWLadder &GetLadder(int index) { return m_Ladders[index]; }
    const MWLadder &GetLadder(int index) const { return m_Ladders[index]; }
    void AddLadder(const MWLadder &ladder) { m_Ladders.Add(ladder); }
    void RemoveAllLadders() { m_Ladders.RemoveAll(); }

private:
    void readSchema0(CArchive &ar);

    CArray<MWLadder> m_Ladders;
    Analysis1D *m_pAnalysis = nullptr; // the owning analysis, not owned
};
