#include "analysis1d/calibration/MWLadderLibrary.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/ProfileStore.h"
#include "platform/SaveFileCommit.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdint>

const QString MWLadderLibrary::c_profileSection = QStringLiteral("Analysis1D");
const QString MWLadderLibrary::c_profileKey = QStringLiteral("MolecularWeightFile");
const QString MWLadderLibrary::c_defaultFileName = QStringLiteral("MWLadders.dat");

namespace {
// The smallest record: an int32 value count and three empty strings.
constexpr qint64 kMinimumRecordSize = 4 + 3;
} // namespace

MWLadderLibrary::MWLadderLibrary() : m_path(ResolveLibraryPath()) { }

MWLadderLibrary::MWLadderLibrary(const QString &path) : m_path(path) { }

QString MWLadderLibrary::ResolveLibraryPath()
{
    ProfileStore &profile = ProfileStore::instance();
    QString name = profile.GetProfileString(c_profileSection, c_profileKey, c_defaultFileName);
    if (name.isEmpty()) {
        profile.WriteProfileString(c_profileSection, c_profileKey, c_defaultFileName);
        name = profile.GetProfileString(c_profileSection, c_profileKey, c_defaultFileName);
    }
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Densora/";
    QDir().mkpath(folder);
    const QString path = folder + name;
    if (!QFile::exists(path)) {
        // An empty file is an empty library; if it cannot be made, Load says so.
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.close();
    }
    return path;
}

void MWLadderLibrary::Load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        throw CFileException(file.exists() ? CFileException::accessDenied
                                           : CFileException::fileNotFound,
                             m_path,
                             QStringLiteral("cannot open the ladder library: %1")
                                 .arg(file.errorString()));
    if (file.size() == 0)
        return;

    CArchive ar(&file, CArchive::load);
    int32_t version = 0;
    ar >> version;
    if (version != 0) {
        // Written by something else: an empty library, replaced on the next save.
        m_Ladders.RemoveAll();
        return;
    }
    int32_t count = 0;
    ar >> count;
    CArray<StorableMWStandard> loaded;
    if (count > 0) {
        ar.EnsureAvailable(qint64(count) * kMinimumRecordSize);
        for (int32_t i = 0; i < count; ++i) {
            StorableMWStandard ladder;
            ladder.Serialize(ar);
            loaded.Add(ladder);
        }
    }
    m_Ladders = loaded;
}

void MWLadderLibrary::Save() const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw CFileException(CFileException::accessDenied, m_path,
                             QStringLiteral("cannot write the ladder library: %1")
                                 .arg(file.errorString()));
    CArchive ar(&file, CArchive::store);
    ar << int32_t(0) << int32_t(m_Ladders.GetSize());
    for (const StorableMWStandard &ladder : m_Ladders)
        ladder.Store(ar);
    ar.Close();
    // Only a complete file replaces the library.
    QString error;
    if (!commitSaveFile(file, &error))
        throw CFileException(CFileException::genericException, m_path,
                             QStringLiteral("cannot write the ladder library: %1").arg(error));
}

void MWLadderLibrary::Add(const StorableMWStandard &ladder)
{
    m_Ladders.Add(ladder);
}

bool MWLadderLibrary::Remove(const StorableMWStandard &ladder)
{
    return Remove(ladder.m_name);
}

bool MWLadderLibrary::Remove(const QString &name)
{
    const int index = IndexOf(name);
    if (index < 0)
        return false;
    m_Ladders.RemoveAt(index);
    return true;
}

void MWLadderLibrary::Replace(int index, const StorableMWStandard &ladder)
{
    m_Ladders.SetAt(index, ladder);
}

int MWLadderLibrary::IndexOf(const QString &name) const
{
    for (int i = 0; i < m_Ladders.GetSize(); ++i) {
        if (m_Ladders[i].m_name.compare(name, Qt::CaseSensitive) == 0)
            return i;
    }
    return -1;
}
