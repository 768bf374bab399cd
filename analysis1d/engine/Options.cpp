#include "analysis1d/engine/Options.h"

#include "platform/ProfileStore.h"

Options::Options(const QString &section) : m_Section(section) { }

Options::~Options() = default;

void Options::StoreValue(ProfileStore &store, const QString &key, int value) const
{
    store.WriteSectionInt(m_Section, key, value);
}

void Options::LoadValue(const ProfileStore &store, const QString &key, int &value) const
{
    value = store.GetSectionInt(m_Section, key, value);
}
