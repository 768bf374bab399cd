#include "analysis1d/calibration/StorableMWStandard.h"

#include "platform/CArchive.h"

#include <cstdint>
#include <vector>

StorableMWStandard::StorableMWStandard() = default;

StorableMWStandard::StorableMWStandard(const StorableMWStandard &other)
    : CObject(other),
      m_values(other.m_values),
      m_name(other.m_name),
      m_material(other.m_material),
      m_units(other.m_units)
{ }

StorableMWStandard &StorableMWStandard::operator=(const StorableMWStandard &other)
{
    if (this != &other) {
        m_values = other.m_values;
        m_name = other.m_name;
        m_material = other.m_material;
        m_units = other.m_units;
    }
    return *this;
}

StorableMWStandard::~StorableMWStandard() = default;

bool StorableMWStandard::operator==(const StorableMWStandard &other) const
{
    return m_values.vector() == other.m_values.vector() && m_name == other.m_name
        && m_material == other.m_material && m_units == other.m_units;
}

void StorableMWStandard::Serialize(CArchive &ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void StorableMWStandard::Store(CArchive &ar) const
{
    ar << int32_t(m_values.GetSize());
    ar.Write(m_values.GetData(), qint64(m_values.GetSize()) * qint64(sizeof(double)));
    ar << m_name << m_material << m_units;
}

void StorableMWStandard::Load(CArchive &ar)
{
    int32_t count = 0;
    ar >> count;
    std::vector<double> values;
    // A count the rest of the file cannot hold raises endOfFile before anything
    // is allocated.
    if (count > 0)
        ar.ReadValues(values, uint64_t(count));
    QString name;
    QString material;
    QString units;
    ar >> name >> material >> units;
    m_values.vector() = std::move(values);
    m_name = name;
    m_material = material;
    m_units = units;
}
