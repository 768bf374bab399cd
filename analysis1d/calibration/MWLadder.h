#pragma once

// A molecular-weight ladder placed on one lane as an overlay: one marker per
// marker band and the ladder's texts. Current documents no longer store
// ladders (their weights live in the bands as known molecular weights); this
// class reads the ladders of the oldest documents.

#include "analysis1d/calibration/MWMarker.h"
#include "contracts/analysis/AnalysisOverlay.h"
#include "platform/CArray.h"

#include <QString>

class MWLadder : public AnalysisOverlay
{
    DECLARE_SERIAL(MWLadder)

public:
    static constexpr COLORREF c_ladderColor = 0x000080FF; // orange

    MWLadder();
    MWLadder(const MWLadder &other);
    ~MWLadder() override;
    MWLadder &operator=(const MWLadder &other);
    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    // Schema 0, in place: the overlay part; int32 marker count and each marker
    // in place (overlay part, double weight); name, material, units; int32
    // reserved; int32 lane index.
    void Serialize(CArchive &ar) override;
    void Serialize(CArchive &ar, int version);

    // The ladder's rectangle and every marker.
    void Draw(QPainter *pDC, CDrawView *pView) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    int GetNumberOfMarkers() const { return m_Markers.GetSize(); }
    // Raises CInvalidArgException outside 0..count - 1.
    MWMarker &GetMarker(int index) { return m_Markers[index]; }
    const MWMarker &GetMarker(int index) const { return m_Markers[index]; }
    void AddMarker(const MWMarker &marker) { m_Markers.Add(marker); }

    int GetLaneIndex() const { return m_LaneIndex; }
    void SetLaneIndex(int index) { m_LaneIndex = index; }

    CArray<MWMarker> m_Markers; // top to bottom
    QString m_Name;
    QString m_Material;
    QString m_Units;
    int m_Reserved = 0; // carried and stored, no other use
    int m_LaneIndex = -1; // the lane (0-based) the ladder is assigned to

private:
    void setDefaultColors();
};
