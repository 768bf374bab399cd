#include "data/CPointArray.h"

#include "data/ArrayArchive.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

IMPLEMENT_SERIAL(CPointArray, CObject, VERSIONABLE_SCHEMA | 0)

static_assert(sizeof(CPoint) == 8, "CPoint is stored raw as two int32");

CPointArray::~CPointArray() = default;

void CPointArray::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        ArrayArchive::store(ar, m_data);
        return;
    }
    // Points are picture coordinates, refused beyond what any picture has, as
    // the archive refuses single points.
    std::vector<CPoint> loaded;
    ArrayArchive::loadAppend(ar, loaded);
    for (const CPoint &p : loaded) {
        if (std::abs(int64_t(p.x)) > CArchive::kMaxCoordinate
            || std::abs(int64_t(p.y)) > CArchive::kMaxCoordinate)
            throw CArchiveException(CArchiveException::genericException);
    }
    m_data.insert(m_data.end(), loaded.begin(), loaded.end());
}

void CPointArray::reverseOrder()
{
    std::reverse(m_data.begin(), m_data.end());
}

void CPointArray::smoothenYvalues(int n)
{
    if (n < 0)
        throw CInvalidArgException("smoothenYvalues: negative window");
    const int size = GetSize();
    const double width = 2.0 * double(n) + 1.0;
    for (int p = n; p < size - n; ++p) {
        double sum = 0.0;
        for (int i = p - n; i <= p + n; ++i)
            sum += m_data[size_t(i)].y;
        // The mean of int values always fits an int.
        m_data[size_t(p)].y = int(sum / width);
    }
}
