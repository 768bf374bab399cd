#include "analysis1d/calibration/MWMarker.h"

#include "contracts/overlay/CDrawDocument.h"
#include "platform/CArchive.h"

IMPLEMENT_SERIAL(MWMarker, AnalysisOverlay, VERSIONABLE_SCHEMA | 0)

MWMarker::MWMarker()
{
    setDefaultColors();
}

MWMarker::MWMarker(const MWMarker &other)
    : AnalysisOverlay(other), m_MolecularWeight(other.m_MolecularWeight)
{ }

MWMarker::MWMarker(const CRect &position, const CRect &bound, const CRect &analysisArea,
                   double molecularWeight)
    : AnalysisOverlay(position, bound, analysisArea), m_MolecularWeight(molecularWeight)
{
    setDefaultColors();
}

MWMarker::~MWMarker() = default;

void MWMarker::setDefaultColors()
{
    m_lineColor = c_markerColor;
    m_fillColor = c_markerColor;
}

MWMarker &MWMarker::operator=(const MWMarker &other)
{
    AnalysisOverlay::operator=(other);
    m_MolecularWeight = other.m_MolecularWeight;
    return *this;
}

CDrawObject &MWMarker::operator=(const CDrawObject &other)
{
    if (const auto *o = dynamic_cast<const MWMarker *>(&other))
        return MWMarker::operator=(*o);
    return AnalysisOverlay::operator=(other);
}

bool MWMarker::operator==(const CDrawObject &other) const
{
    const auto *o = dynamic_cast<const MWMarker *>(&other);
    return o && AnalysisOverlay::operator==(other) && o->m_MolecularWeight == m_MolecularWeight;
}

void MWMarker::Serialize(CArchive &ar)
{
    // Read in place (inside a ladder) there is no class tag: schema 0.
    Serialize(ar, ar.IsLoading() ? int(ar.GetObjectSchemaOr(0)) : 0);
}

void MWMarker::Serialize(CArchive &ar, int version)
{
    if (ar.IsLoading() && version != 0)
        throw CArchiveException(CArchiveException::badSchema);
    AnalysisOverlay::Serialize(ar, version);
    if (ar.IsStoring())
        ar << m_MolecularWeight;
    else
        ar >> m_MolecularWeight;
}

QString MWMarker::GetLabel() const
{
    return QString::asprintf("%0.1f", m_MolecularWeight);
}

void MWMarker::Draw(QPainter *pDC, CDrawView *pView)
{
    const CRect r = GetLogicalPosition();
    DrawShape(pDC, pView, r);
    CRect n = r;
    n.NormalizeRect();
    DrawText(pDC, pView, GetLabel(), CPoint(n.right + 2, n.top));
}

CDrawObject *MWMarker::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}
