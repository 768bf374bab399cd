#include "numerics/CGaussian.h"

#include "platform/Exceptions.h"

#include <QIODevice>
#include <QtEndian>
#include <cmath>

IMPLEMENT_DYNCREATE(CGaussian, CObject)

namespace {

// Truncation toward zero. Values the int cannot hold (a width of 0 at the
// center gives NaN; an amplitude near INT_MAX rounds up to 2^31 in float)
// would make a plain cast undefined: NaN gives 0 and the others saturate.
int truncateToInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    if (value <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int>(value);
}

} // namespace

CGaussian::CGaussian(int amplitude, int center, int width)
    : m_amplitude(amplitude), m_center(center), m_width(width)
{
}

CGaussian::~CGaussian() = default;

void CGaussian::Serialize(CArchive & /*ar*/)
{
}

void CGaussian::AssertValid() const
{
}

int CGaussian::EvaluateAt(int x) const
{
    const float u = (static_cast<float>(x) - static_cast<float>(m_center))
        / static_cast<float>(m_width);
    const double e = std::exp(static_cast<double>(-(u * u)));
    const float value = static_cast<float>(e * static_cast<double>(m_amplitude));
    return truncateToInt(value);
}

void CGaussian::WriteV1_0(QIODevice *file) const
{
    char bytes[12];
    qToLittleEndian<int32_t>(m_amplitude, bytes);
    qToLittleEndian<int32_t>(m_center, bytes + 4);
    qToLittleEndian<int32_t>(m_width, bytes + 8);
    if (!file || file->write(bytes, sizeof bytes) != qint64(sizeof bytes))
        throw CFileException(CFileException::genericException);
}

void CGaussian::ReadV1_0(QIODevice *file)
{
    char bytes[12];
    qint64 got = 0;
    while (file && got < qint64(sizeof bytes)) {
        const qint64 n = file->read(bytes + got, qint64(sizeof bytes) - got);
        if (n <= 0)
            break;
        got += n;
    }
    if (got != qint64(sizeof bytes))
        throw CArchiveException(CArchiveException::endOfFile);
    m_amplitude = qFromLittleEndian<int32_t>(bytes);
    m_center = qFromLittleEndian<int32_t>(bytes + 4);
    m_width = qFromLittleEndian<int32_t>(bytes + 8);
}
