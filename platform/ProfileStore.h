#pragma once

// Per-user settings: named integer and string values in named sections.
// The application uses the QSettings-backed store (INI form, organisation
// "TavoroSystems", application "Densora"); tests install an in-memory one.
// Keys are used exactly as given, trailing blanks included.

#include <QMap>
#include <QString>
#include <memory>

class QSettings;

class ProfileStore
{
public:
    virtual ~ProfileStore() = default;

    virtual bool Contains(const QString &section, const QString &key) const = 0;
    virtual int GetSectionInt(const QString &section, const QString &key, int defaultValue) const = 0;
    virtual bool WriteSectionInt(const QString &section, const QString &key, int value) = 0;
    virtual QString GetSectionString(const QString &section, const QString &key,
                                     const QString &defaultValue = QString()) const = 0;
    virtual bool WriteSectionString(const QString &section, const QString &key,
                                    const QString &value) = 0;

    // The same values under the other names callers know them by.
    int GetProfileInt(const QString &section, const QString &key, int defaultValue) const
    {
        return GetSectionInt(section, key, defaultValue);
    }
    bool WriteProfileInt(const QString &section, const QString &key, int value)
    {
        return WriteSectionInt(section, key, value);
    }
    QString GetProfileString(const QString &section, const QString &key,
                             const QString &defaultValue = QString()) const
    {
        return GetSectionString(section, key, defaultValue);
    }
    bool WriteProfileString(const QString &section, const QString &key, const QString &value)
    {
        return WriteSectionString(section, key, value);
    }

    // The process-wide store. Until one is installed, an in-memory store is used,
    // so library code and tests never touch the user's real settings by accident.
    static ProfileStore &instance();
    // Takes ownership; returns the previous store.
    static std::unique_ptr<ProfileStore> install(std::unique_ptr<ProfileStore> store);
};

class MemoryProfileStore : public ProfileStore
{
public:
    bool Contains(const QString &section, const QString &key) const override;
    int GetSectionInt(const QString &section, const QString &key, int defaultValue) const override;
    bool WriteSectionInt(const QString &section, const QString &key, int value) override;
    QString GetSectionString(const QString &section, const QString &key,
                             const QString &defaultValue) const override;
    bool WriteSectionString(const QString &section, const QString &key,
                            const QString &value) override;

private:
    QMap<QString, QMap<QString, QString>> m_values;
};

class SettingsProfileStore : public ProfileStore
{
public:
    // Default: the user's ~/.config/TavoroSystems/Densora.conf. A file name gives
    // an INI file of its own (for tools and tests).
    SettingsProfileStore();
    explicit SettingsProfileStore(const QString &iniFile);
    ~SettingsProfileStore() override;

    bool Contains(const QString &section, const QString &key) const override;
    int GetSectionInt(const QString &section, const QString &key, int defaultValue) const override;
    bool WriteSectionInt(const QString &section, const QString &key, int value) override;
    QString GetSectionString(const QString &section, const QString &key,
                             const QString &defaultValue) const override;
    bool WriteSectionString(const QString &section, const QString &key,
                            const QString &value) override;

private:
    std::unique_ptr<QSettings> m_settings;
};
