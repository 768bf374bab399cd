#pragma once

// The most recently opened or saved files, newest first, kept in the profile
// section "Recent File List" as "File1" ... "File10".

#include <QString>
#include <QStringList>

class ProfileStore;

class RecentFileList
{
public:
    static constexpr int kSize = 10;

    explicit RecentFileList(int size = kSize) : m_size(size) { }

    void Load(const ProfileStore &store);
    void Save(ProfileStore &store) const;

    // Puts the file first (an earlier entry of the same file goes).
    void Add(const QString &path);
    void Remove(const QString &path);
    const QStringList &Files() const { return m_files; }

private:
    int m_size;
    QStringList m_files;
};
