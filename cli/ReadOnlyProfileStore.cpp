#include "cli/ReadOnlyProfileStore.h"

ReadOnlyProfileStore::ReadOnlyProfileStore(std::unique_ptr<ProfileStore> source)
    : m_source(std::move(source))
{ }

bool ReadOnlyProfileStore::Contains(const QString &section, const QString &key) const
{
    return m_written.Contains(section, key) || m_source->Contains(section, key);
}

int ReadOnlyProfileStore::GetSectionInt(const QString &section, const QString &key,
                                        int defaultValue) const
{
    if (m_written.Contains(section, key))
        return m_written.GetSectionInt(section, key, defaultValue);
    return m_source->GetSectionInt(section, key, defaultValue);
}

bool ReadOnlyProfileStore::WriteSectionInt(const QString &section, const QString &key, int value)
{
    return m_written.WriteSectionInt(section, key, value);
}

QString ReadOnlyProfileStore::GetSectionString(const QString &section, const QString &key,
                                               const QString &defaultValue) const
{
    if (m_written.Contains(section, key))
        return m_written.GetSectionString(section, key, defaultValue);
    return m_source->GetSectionString(section, key, defaultValue);
}

bool ReadOnlyProfileStore::WriteSectionString(const QString &section, const QString &key,
                                              const QString &value)
{
    return m_written.WriteSectionString(section, key, value);
}
