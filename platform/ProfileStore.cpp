#include "platform/ProfileStore.h"

#include <QSettings>

namespace {
std::unique_ptr<ProfileStore> &currentStore()
{
    static std::unique_ptr<ProfileStore> store = std::make_unique<MemoryProfileStore>();
    return store;
}

// QSettings treats '/' as a group separator and '\' specially; sections and
// keys are plain names here, so both are kept out of the path.
QString settingsKey(const QString &section, const QString &key)
{
    QString s = section;
    s.replace(QLatin1Char('/'), QLatin1Char('.'));
    QString k = key;
    k.replace(QLatin1Char('/'), QLatin1Char('.'));
    return s + QLatin1Char('/') + k;
}
} // namespace

ProfileStore &ProfileStore::instance()
{
    return *currentStore();
}

std::unique_ptr<ProfileStore> ProfileStore::install(std::unique_ptr<ProfileStore> store)
{
    auto previous = std::move(currentStore());
    currentStore() = store ? std::move(store) : std::make_unique<MemoryProfileStore>();
    return previous;
}

bool MemoryProfileStore::Contains(const QString &section, const QString &key) const
{
    auto it = m_values.find(section);
    return it != m_values.end() && it->contains(key);
}

int MemoryProfileStore::GetSectionInt(const QString &section, const QString &key,
                                      int defaultValue) const
{
    if (!Contains(section, key))
        return defaultValue;
    bool ok = false;
    const int v = m_values[section][key].toInt(&ok);
    return ok ? v : defaultValue;
}

bool MemoryProfileStore::WriteSectionInt(const QString &section, const QString &key, int value)
{
    m_values[section][key] = QString::number(value);
    return true;
}

QString MemoryProfileStore::GetSectionString(const QString &section, const QString &key,
                                             const QString &defaultValue) const
{
    return Contains(section, key) ? m_values[section][key] : defaultValue;
}

bool MemoryProfileStore::WriteSectionString(const QString &section, const QString &key,
                                            const QString &value)
{
    m_values[section][key] = value;
    return true;
}

SettingsProfileStore::SettingsProfileStore()
    // The native format on Linux is the INI form, in
    // ~/.config/TavoroSystems/Densora.conf (IniFormat would name it .ini).
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("TavoroSystems"),
                                             QStringLiteral("Densora")))
{
}

SettingsProfileStore::SettingsProfileStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsProfileStore::~SettingsProfileStore() = default;

bool SettingsProfileStore::Contains(const QString &section, const QString &key) const
{
    return m_settings->contains(settingsKey(section, key));
}

int SettingsProfileStore::GetSectionInt(const QString &section, const QString &key,
                                        int defaultValue) const
{
    bool ok = false;
    const int v = m_settings->value(settingsKey(section, key)).toInt(&ok);
    return ok ? v : defaultValue;
}

bool SettingsProfileStore::WriteSectionInt(const QString &section, const QString &key, int value)
{
    m_settings->setValue(settingsKey(section, key), value);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsProfileStore::GetSectionString(const QString &section, const QString &key,
                                               const QString &defaultValue) const
{
    const QVariant v = m_settings->value(settingsKey(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

bool SettingsProfileStore::WriteSectionString(const QString &section, const QString &key,
                                              const QString &value)
{
    m_settings->setValue(settingsKey(section, key), value);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
