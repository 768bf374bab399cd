#pragma once

// The analysis options a document carries: the five option groups, read from
// the user's settings when the document is made and written back when it goes
// away. They are never stored in the document file (Serialize does nothing).

#include "analysis1d/engine/BandsOptions.h"
#include "analysis1d/engine/GeneralOptions.h"
#include "analysis1d/engine/GraphOptions.h"
#include "analysis1d/engine/LanesOptions.h"
#include "analysis1d/engine/ReportOptions.h"
#include "platform/CObject.h"

class ProfileStore;

class Analysis1DOptions : public CObject
{
    DECLARE_DYNAMIC(Analysis1DOptions)

public:
    // Defaults, then the user's settings from ProfileStore::instance().
    Analysis1DOptions();
    // Stores all five groups to ProfileStore::instance().
    ~Analysis1DOptions() override;

    // A copy would write the settings a second time when it is destroyed; the
    // options sheet edits the document's own instance.
    Analysis1DOptions(const Analysis1DOptions &) = delete;
    Analysis1DOptions &operator=(const Analysis1DOptions &) = delete;

    void Serialize(CArchive &ar) override;

    // Order: general, graph, report, bands, lanes.
    void ReadFromRegistry();
    void StoreToRegistry() const;
    void ReadFromRegistry(const ProfileStore &store);
    void StoreToRegistry(ProfileStore &store) const;

    GeneralOptions m_GeneralOptions;
    GraphOptions m_GraphOptions;
    ReportOptions m_ReportOptions;
    BandsOptions m_BandsOptions;
    LanesOptions m_LanesOptions;
};
