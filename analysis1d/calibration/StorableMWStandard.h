#pragma once

// One molecular-weight ladder of the user's ladder library: the weights of the
// marker bands of a commercial size marker and three descriptive texts. The
// library file holds a list of these (see MWLadderLibrary).

#include "data/CDoubleDataArray.h"
#include "platform/CObject.h"

#include <QString>

class CArchive;

class StorableMWStandard : public CObject
{
public:
    StorableMWStandard();
    StorableMWStandard(const StorableMWStandard &other);
    StorableMWStandard &operator=(const StorableMWStandard &other);
    ~StorableMWStandard() override;

    // Library record: int32 value count M, M doubles, then name, material and
    // units as Unicode archive strings. A record with M <= 0 reads no values.
    void Serialize(CArchive &ar) override;
    void Store(CArchive &ar) const;
    // The members change only once the whole record has been read.
    void Load(CArchive &ar);

    bool operator==(const StorableMWStandard &other) const;

    CDoubleDataArray m_values; // weights, each > 0, kept descending by the editor
    QString m_name;            // identifies the ladder in the library
    QString m_material;
    QString m_units;
};
