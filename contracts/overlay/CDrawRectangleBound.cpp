#include "contracts/overlay/CDrawRectangleBound.h"

#include "contracts/overlay/CDrawDocument.h"

#include "platform/CArchive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDrawRectangleBound, CDrawRectangle, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr uint16_t kBoundLayout = 1;

// Shifts [lo, hi) (lo <= hi) into [min, max); when it does not fit it starts at min.
int shiftInto(int lo, int hi, int min, int max)
{
    if (hi - lo >= max - min)
        return min - lo;
    if (hi > max)
        return max - hi;
    if (lo < min)
        return min - lo;
    return 0;
}
} // namespace

CDrawRectangleBound::CDrawRectangleBound() = default;

CDrawRectangleBound::CDrawRectangleBound(const CRect &position, const CRect &bound)
    : CDrawRectangle(position), m_bound(bound)
{ }

CDrawRectangleBound::CDrawRectangleBound(const CDrawRectangleBound &other)
    : CDrawRectangle(other), m_bound(other.m_bound), m_bEditable(other.m_bEditable)
{ }

CDrawRectangleBound::~CDrawRectangleBound() = default;

CDrawRectangleBound &CDrawRectangleBound::operator=(const CDrawRectangleBound &other)
{
    CDrawRectangle::operator=(other);
    m_bound = other.m_bound;
    m_bEditable = other.m_bEditable;
    return *this;
}

CDrawObject &CDrawRectangleBound::operator=(const CDrawObject &other)
{
    if (const auto *b = dynamic_cast<const CDrawRectangleBound *>(&other))
        return CDrawRectangleBound::operator=(*b);
    return CDrawRectangle::operator=(other);
}

bool CDrawRectangleBound::operator==(const CDrawObject &other) const
{
    const auto *b = dynamic_cast<const CDrawRectangleBound *>(&other);
    return b && CDrawRectangle::operator==(other) && b->m_bound == m_bound
        && b->m_bEditable == m_bEditable;
}

// Stored bound part, after the CDrawRectangle part:
//   WORD   layout version, 1
//   CRect  bounding rectangle (int32 left, top, right, bottom)
//   BYTE   editable flag (0/1)
// Another layout version is refused (badSchema).
void CDrawRectangleBound::Serialize(CArchive &ar)
{
    CDrawRectangle::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kBoundLayout << m_bound << m_bEditable;
        return;
    }
    uint16_t layout = 0;
    ar >> layout;
    if (layout != kBoundLayout)
        throw CArchiveException(CArchiveException::badSchema);
    ar >> m_bound >> m_bEditable;
}

CRect CDrawRectangleBound::ConstrainToBound(const CRect &position) const
{
    CRect bound = m_bound;
    bound.NormalizeRect();
    if (bound.IsRectEmpty())
        return position;

    CRect r = position;
    const bool sameSize
        = position.Width() == m_position.Width() && position.Height() == m_position.Height();
    if (sameSize) {
        CRect n = position;
        n.NormalizeRect();
        r.OffsetRect(shiftInto(n.left, n.right, bound.left, bound.right),
                     shiftInto(n.top, n.bottom, bound.top, bound.bottom));
    } else {
        // Edges one by one, so a rectangle being dragged inside out keeps its handles.
        r.left = std::clamp(r.left, bound.left, bound.right);
        r.right = std::clamp(r.right, bound.left, bound.right);
        r.top = std::clamp(r.top, bound.top, bound.bottom);
        r.bottom = std::clamp(r.bottom, bound.top, bound.bottom);
    }
    return r;
}

void CDrawRectangleBound::MoveTo(const CRect &position, CDrawView *pView)
{
    CDrawRectangle::MoveTo(ConstrainToBound(position), pView);
}

CDrawObject *CDrawRectangleBound::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

bool CDrawRectangleBound::CanBeEdited() const
{
    return m_bEditable;
}
