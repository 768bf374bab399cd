#include "app/RecentFileList.h"

#include "platform/ProfileStore.h"

#include <QFileInfo>

namespace {
const QString kSection = QStringLiteral("Recent File List");

QString entryKey(int i)
{
    return QStringLiteral("File%1").arg(i + 1);
}

// One spelling per file, so the same file never shows twice.
QString canonical(const QString &path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}
} // namespace

void RecentFileList::Load(const ProfileStore &store)
{
    m_files.clear();
    for (int i = 0; i < m_size; ++i) {
        const QString path = store.GetSectionString(kSection, entryKey(i));
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
}

void RecentFileList::Save(ProfileStore &store) const
{
    for (int i = 0; i < m_size; ++i)
        store.WriteSectionString(kSection, entryKey(i), i < m_files.size() ? m_files[i] : QString());
}

void RecentFileList::Add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString file = canonical(path);
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > m_size)
        m_files.removeLast();
}

void RecentFileList::Remove(const QString &path)
{
    m_files.removeAll(canonical(path));
    m_files.removeAll(path);
}
