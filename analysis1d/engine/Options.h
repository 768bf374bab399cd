#pragma once

// One group of the user's lasting analysis preferences. Each group lives in a
// section of its own in the per-user settings store; options are never part of
// a document.

#include <QString>

class ProfileStore;

class Options
{
public:
    explicit Options(const QString &section);
    virtual ~Options();

    // Writes every value of the group.
    virtual void Store(ProfileStore &store) const = 0;
    // Reads every value of the group; an absent (or unreadable) entry keeps the
    // current value, so a fresh store leaves the defaults in place.
    virtual void Load(const ProfileStore &store) = 0;

    const QString &GetSection() const { return m_Section; }

protected:
    Options(const Options &) = default;
    Options &operator=(const Options &) = default;

    void StoreValue(ProfileStore &store, const QString &key, int value) const;
    void LoadValue(const ProfileStore &store, const QString &key, int &value) const;

    QString m_Section;
};
