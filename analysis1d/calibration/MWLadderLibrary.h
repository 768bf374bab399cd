#pragma once

// The user's library of molecular-weight ladders, kept in one file:
//   int32 version (always 0), int32 ladder count N, then N StorableMWStandard
//   records in list order (little-endian, strings in the Unicode archive form).
// The ladder selection dialog loads it when it opens and saves it after every
// addition and deletion and when it closes.

#include "analysis1d/calibration/StorableMWStandard.h"
#include "platform/CArray.h"

#include <QString>

class MWLadderLibrary
{
public:
    // Profile section and key of the library's file name, and its default.
    static const QString c_profileSection;   // "Analysis1D"
    static const QString c_profileKey;       // "MolecularWeightFile"
    static const QString c_defaultFileName;  // "MWLadders.dat"

    // The library at the resolved path (see ResolveLibraryPath).
    MWLadderLibrary();
    // The library in a file of the caller's choice.
    explicit MWLadderLibrary(const QString &path);

    // The file name from the profile (an empty stored name is replaced by the
    // default and written back), in the user's data folder + "/Densora/". The
    // folder, and an empty file, are created when missing.
    static QString ResolveLibraryPath();

    const QString &GetPath() const { return m_path; }

    // Reads the file. An empty file leaves the list as it is; a file whose
    // version word is not 0 leaves it empty. A file that cannot be opened
    // raises CFileException, a short or damaged one CArchiveException (the
    // list is then unchanged).
    void Load();
    // Writes the whole list: through a temporary file in the same folder that
    // replaces the library only once it is complete, so a failed save leaves
    // the previous library intact. Raises CFileException on failure.
    void Save() const;

    // Appends a copy of the ladder.
    void Add(const StorableMWStandard &ladder);
    // Removes the first ladder whose name equals the given ladder's name
    // (case-sensitive); returns false when there is none.
    bool Remove(const StorableMWStandard &ladder);
    bool Remove(const QString &name);
    // Replaces ladder 'index' (CInvalidArgException when out of range).
    void Replace(int index, const StorableMWStandard &ladder);

    int GetCount() const { return m_Ladders.GetSize(); }
    // Raises CInvalidArgException outside 0..count - 1.
    const StorableMWStandard &GetAt(int index) const { return m_Ladders[index]; }
    // Index of the first ladder of that name, or -1.
    int IndexOf(const QString &name) const;
    CArray<StorableMWStandard> &GetLadders() { return m_Ladders; }
    const CArray<StorableMWStandard> &GetLadders() const { return m_Ladders; }

private:
    QString m_path;
    CArray<StorableMWStandard> m_Ladders;
};
