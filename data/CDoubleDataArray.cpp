#include "data/CDoubleDataArray.h"

#include "data/ArrayArchive.h"

IMPLEMENT_SERIAL(CDoubleDataArray, CObject, VERSIONABLE_SCHEMA | 0)

CDoubleDataArray::~CDoubleDataArray() = default;

void CDoubleDataArray::Serialize(CArchive &ar)
{
    if (ar.IsStoring())
        ArrayArchive::store(ar, m_data);
    else
        ArrayArchive::loadAppend(ar, m_data);
}

void CDoubleDataArray::Extract(int first, int last, CDoubleDataArray &out) const
{
    extractTo(first, last, out);
}

void CDoubleDataArray::Scale(double f)
{
    for (double &v : m_data)
        v *= f;
}
