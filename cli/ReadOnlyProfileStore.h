#pragma once

// The user's settings as a batch run sees them: read from the user's store,
// never written back. The document writes its options back when it goes away,
// and a batch run must not change what the desktop program will show next;
// values written during the run stay in memory and are read back from there.

#include "platform/ProfileStore.h"

#include <memory>

class ReadOnlyProfileStore : public ProfileStore
{
public:
    explicit ReadOnlyProfileStore(std::unique_ptr<ProfileStore> source);

    bool Contains(const QString &section, const QString &key) const override;
    int GetSectionInt(const QString &section, const QString &key, int defaultValue) const override;
    bool WriteSectionInt(const QString &section, const QString &key, int value) override;
    QString GetSectionString(const QString &section, const QString &key,
                             const QString &defaultValue) const override;
    bool WriteSectionString(const QString &section, const QString &key,
                            const QString &value) override;

private:
    std::unique_ptr<ProfileStore> m_source;
    MemoryProfileStore m_written;
};
