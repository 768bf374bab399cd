#include "analysis1d/calibration/MWLadder.h"

#include "contracts/overlay/CDrawDocument.h"
#include "platform/CArchive.h"

#include <cstdint>

IMPLEMENT_SERIAL(MWLadder, AnalysisOverlay, VERSIONABLE_SCHEMA | 0)

MWLadder::MWLadder()
{
    setDefaultColors();
}

MWLadder::MWLadder(const MWLadder &other)
    : AnalysisOverlay(other),
      m_Markers(other.m_Markers),
      m_Name(other.m_Name),
      m_Material(other.m_Material),
      m_Units(other.m_Units),
      m_Reserved(other.m_Reserved),
      m_LaneIndex(other.m_LaneIndex)
{ }

MWLadder::~MWLadder() = default;

void MWLadder::setDefaultColors()
{
    m_lineColor = c_ladderColor;
}

MWLadder &MWLadder::operator=(const MWLadder &other)
{
    if (this != &other) {
        AnalysisOverlay::operator=(other);
        m_Markers = other.m_Markers;
        m_Name = other.m_Name;
        m_Material = other.m_Material;
        m_Units = other.m_Units;
        m_Reserved = other.m_Reserved;
        m_LaneIndex = other.m_LaneIndex;
    }
    return *this;
}

CDrawObject &MWLadder::operator=(const CDrawObject &other)
{
    if (const auto *o = dynamic_cast<const MWLadder *>(&other))
        return MWLadder::operator=(*o);
    return AnalysisOverlay::operator=(other);
}

bool MWLadder::operator==(const CDrawObject &other) const
{
    const auto *o = dynamic_cast<const MWLadder *>(&other);
    if (!o || !AnalysisOverlay::operator==(other) || o->m_Markers.GetSize() != m_Markers.GetSize())
        return false;
    for (int i = 0; i < m_Markers.GetSize(); ++i) {
        if (!m_Markers[i].operator==(o->m_Markers[i])) // the virtual comparison, not a reversed one
            return false;
    }
    return o->m_Name == m_Name && o->m_Material == m_Material && o->m_Units == m_Units
        && o->m_Reserved == m_Reserved && o->m_LaneIndex == m_LaneIndex;
}

void MWLadder::Serialize(CArchive &ar)
{
    // Ladders are read in place by the ladder manager: no class tag, schema 0.
    Serialize(ar, ar.IsLoading() ? int(ar.GetObjectSchemaOr(0)) : 0);
}

void MWLadder::Serialize(CArchive &ar, int version)
{
    if (ar.IsLoading() && version != 0)
        throw CArchiveException(CArchiveException::badSchema);
    AnalysisOverlay::Serialize(ar, version);
    if (ar.IsStoring()) {
        ar << int32_t(m_Markers.GetSize());
        for (MWMarker &marker : m_Markers)
            marker.Serialize(ar, 0);
        ar << m_Name << m_Material << m_Units << int32_t(m_Reserved) << int32_t(m_LaneIndex);
        return;
    }
    int32_t count = 0;
    ar >> count;
    // Every marker takes bytes of its own, so a damaged count ends in endOfFile
    // rather than in a large allocation: markers are added one at a time.
    CArray<MWMarker> markers;
    for (int32_t i = 0; i < count; ++i) {
        MWMarker marker;
        marker.Serialize(ar, 0);
        markers.Add(marker);
    }
    QString name;
    QString material;
    QString units;
    int32_t reserved = 0;
    int32_t laneIndex = -1;
    ar >> name >> material >> units >> reserved >> laneIndex;
    m_Markers = markers;
    m_Name = name;
    m_Material = material;
    m_Units = units;
    m_Reserved = reserved;
    m_LaneIndex = laneIndex;
}

void MWLadder::Draw(QPainter *pDC, CDrawView *pView)
{
    AnalysisOverlay::Draw(pDC, pView);
    for (MWMarker &marker : m_Markers)
        marker.Draw(pDC, pView);
}

CDrawObject *MWLadder::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}
